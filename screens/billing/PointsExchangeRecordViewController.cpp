#include "screens/billing/PointsExchangeRecordViewController.h"

#include "app/categories/BFDicUtils.h"
#include "app/core/HTTPRequest.h"
#include "app/core/tavrixConfig.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/billing/BillingSupport.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TableViewCell.h"

TAVRIX_REGISTER_SCENE("Main", "PointsExchangeRecordViewController",
                      PointsExchangeRecordViewController);

namespace {

const QString kCellIdentifier = QStringLiteral("PointsExchangeRecordCell");

// One exchange: the product and its date, and the points it took.
class PointsExchangeRecordCell : public ui::TableViewCell {
public:
    PointsExchangeRecordCell() : ui::TableViewCell(Style::Default, kCellIdentifier) {
        setSelectionStyle(SelectionStyle::None);
        labelOfName = new ui::Label(QRectF(15, 6, 200, 20), contentView());
        labelOfName->setFont(ui::Font::systemFontOfSize(14));
        labelOfDate = new ui::Label(QRectF(15, 26, 200, 16), contentView());
        labelOfDate->setFont(ui::Font::systemFontOfSize(11));
        labelOfDate->setTextColor(BillingSupport::lightGrayColor());
        labelOfPoint = new ui::Label(QRectF(215, 12, 90, 24), contentView());
        labelOfPoint->setFont(ui::Font::systemFontOfSize(14));
        labelOfPoint->setTextColor(TavrixApplicationSpecific::tavrix_roseRedColor());
        labelOfPoint->setTextAlignment(ui::TextAlignment::Right);
    }
    ui::Label* labelOfName;
    ui::Label* labelOfDate;
    ui::Label* labelOfPoint;
};

} // namespace

PointsExchangeRecordViewController::PointsExchangeRecordViewController(QObject* parent)
    : ViewController(parent) {
    setTitle(QStringLiteral("兑换记录"));
    setHidesBottomBarWhenPushed(true);
}

PointsExchangeRecordViewController::~PointsExchangeRecordViewController() = default;

void PointsExchangeRecordViewController::loadView() {
    ViewController::loadView();
    m_table = new ui::TableView(QRectF(0, 0, 320, 504), ui::TableView::Style::Plain, view());
    m_table->setRowHeight(48);
    m_table->setAllowsSelection(false);
    m_table->setDataSource(this);
    // The list fills the screen wherever its navigation puts it (below the bar, above the tabs
    // or not): the view is sized only after it has loaded.
    QObject::connect(view(), &ui::View::frameChanged, m_table,
                     [this] { m_table->setFrame(QRectF(QPointF(), view()->frame().size())); });
}

void PointsExchangeRecordViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_arrayOfExchangeRecord.clear();
    requestOfPointsExchangeRecordSend();
}

void PointsExchangeRecordViewController::requestOfPointsExchangeRecordSend() {
    HTTPRequest* request = requestStartWithKey(QStringLiteral("ExchangePoint"), true);
    request->setPostValue(QStringLiteral("2"), QStringLiteral("action"));
    request->setPostValue(QStringLiteral("2"), QStringLiteral("channel"));
    request->setCompletionHandler([this](const QVariant& reply) {
        const QVariant judged = requestFinishedBase(reply);
        if (judged.isValid()) {
            m_arrayOfExchangeRecord.clear();
            for (const QVariant& record : BFDicUtils::getList(judged, QStringLiteral("list")))
                if (ns::Values::isMap(record)) m_arrayOfExchangeRecord.append(record);
        }
        if (m_arrayOfExchangeRecord.isEmpty() && !m_nilLabel) {
            m_nilLabel = tavrixConfig::createNilLabelInView(view());
            view()->addSubview(m_nilLabel);
        }
        m_table->reloadData();
    });
    request->startRequest();
}

int PointsExchangeRecordViewController::tableViewNumberOfRowsInSection(ui::TableView*, int) {
    return int(m_arrayOfExchangeRecord.size());
}

ui::TableViewCell*
PointsExchangeRecordViewController::tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                                   ui::IndexPath path) {
    auto* cell = static_cast<PointsExchangeRecordCell*>(
        table->dequeueReusableCellWithIdentifier(kCellIdentifier));
    if (!cell) cell = new PointsExchangeRecordCell;
    const QVariantMap record = m_arrayOfExchangeRecord.value(path.row).toMap();
    cell->labelOfName->setText(BillingSupport::shown(record.value("name")));
    cell->labelOfPoint->setText(
        QStringLiteral("%1分").arg(BillingSupport::shown(record.value("point"))));
    cell->labelOfDate->setText(BillingSupport::shown(record.value("date")));
    return cell;
}
