#include "screens/billing/RechargeRecordViewController.h"

#include "app/categories/BFDicUtils.h"
#include "app/core/HTTPRequest.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/billing/BillingSupport.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TableViewCell.h"
#include "widgets/OverlayHUD.h"

TAVRIX_REGISTER_SCENE("Main", "RechargeRecordViewController", RechargeRecordViewController);

namespace {

using TavrixApplicationSpecific::tavrix_blueColor;

const QString kCellIdentifier = QStringLiteral("RechargeRecordCell");
const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");

// One recharge: date, kind and amount; or, for a month without any, the note that says so.
class RechargeRecordCell : public ui::TableViewCell {
public:
    RechargeRecordCell() : ui::TableViewCell(Style::Default, kCellIdentifier) {
        setSelectionStyle(SelectionStyle::None);
        auto make = [this](const QRectF& frame, ui::TextAlignment alignment) {
            auto* l = new ui::Label(frame, contentView());
            l->setFont(ui::Font::systemFontOfSize(13));
            l->setTextColor(BillingSupport::darkGrayColor());
            l->setTextAlignment(alignment);
            return l;
        };
        labelOfDate = make(QRectF(15, 10, 135, 20), ui::TextAlignment::Left);
        labelOfType = make(QRectF(150, 10, 70, 20), ui::TextAlignment::Center);
        labelOfAmount = make(QRectF(220, 10, 85, 20), ui::TextAlignment::Right);
        labelNil = make(QRectF(15, 10, 290, 20), ui::TextAlignment::Center);
        labelNil->setText(QStringLiteral("本月暂无充值记录"));
        labelNil->setTextColor(BillingSupport::lightGrayColor());
    }
    ui::Label* labelOfDate;
    ui::Label* labelOfType;
    ui::Label* labelOfAmount;
    ui::Label* labelNil;
};

} // namespace

RechargeRecordViewController::RechargeRecordViewController(QObject* parent)
    : ViewController(parent) {
    setTitle(QStringLiteral("充值记录"));
    setHidesBottomBarWhenPushed(true);
}

RechargeRecordViewController::~RechargeRecordViewController() = default;

void RechargeRecordViewController::loadView() {
    ViewController::loadView();
    m_table = new ui::TableView(QRectF(0, 0, 320, 504), ui::TableView::Style::Plain, view());
    m_table->setBackgroundColor(Qt::white);
    m_table->setSeparatorStyle(ui::TableView::SeparatorStyle::None);
    m_table->setAllowsSelection(false);
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    // The list fills the screen wherever its navigation puts it (below the bar, above the tabs
    // or not): the view is sized only after it has loaded.
    QObject::connect(view(), &ui::View::frameChanged, m_table,
                     [this] { m_table->setFrame(QRectF(QPointF(), view()->frame().size())); });
}

void RechargeRecordViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_isRechargeRequestSuccess = false;
    m_arrayOfRechargeRecord.clear();
    m_isOpened.clear();
    // Each month with its year: a record of the same month a year earlier is not this one's.
    QDate month = ns::DateFormat::now().date();
    month = QDate(month.year(), month.month(), 1);
    m_arrayOfDate.clear();
    for (int i = 0; i < kMonthCount; ++i) {
        m_arrayOfDate.append(QString::asprintf("%04d-%02d", month.year(), month.month()));
        month = month.addMonths(-1);
    }
    requestOfRechargeRecordSend();
}

void RechargeRecordViewController::requestOfRechargeRecordSend() {
    HTTPRequest* request = requestStartWithKey(QStringLiteral("ChargeRecord"), true);
    request->setPostValue(QStringLiteral("0"), QStringLiteral("ym"));
    request->setCompletionHandler([this](const QVariant& reply) {
        m_arrayOfRechargeRecord.clear();
        const QVariant judged = requestFinishedBase(reply);
        // A refused reply is no history: the months are shown only once one has arrived.
        if (!judged.isValid()) return;
        m_isRechargeRequestSuccess = true;
        for (int i = 0; i < kMonthCount; ++i)
            m_isOpened.insert(QString::number(i), kYes);
        for (const QVariant& record : BFDicUtils::getList(judged, QStringLiteral("list")))
            if (ns::Values::isMap(record)) m_arrayOfRechargeRecord.append(record);
        m_table->reloadData();
    });
    request->startRequest();
}

QVariantList RechargeRecordViewController::getBillListForSection(int section) const {
    if (section < 0 || section >= m_arrayOfDate.size()) return {};
    const QString month = m_arrayOfDate[section];
    QVariantList out;
    for (const QVariant& record : m_arrayOfRechargeRecord) {
        const QString date = BFDicUtils::getString(record, QStringLiteral("date"));
        // A date too short to carry its month belongs to none.
        if (date.size() >= month.size() && date.startsWith(month)) out.append(record);
    }
    return out;
}

float RechargeRecordViewController::sumOfSection(int section) const {
    float sum = 0;
    for (const QVariant& record : getBillListForSection(section))
        sum += BillingSupport::floatValue(record.toMap().value(QStringLiteral("amount")));
    return sum;
}

void RechargeRecordViewController::headerButtonPressed(ui::Button* sender) {
    if (!sender) return;
    const int section = sender->tag() - kHeaderTagBase;
    if (section < 0 || section >= numberOfSectionsInTableView(m_table)) return;
    const QString key = QString::number(section);
    const bool open = m_isOpened.value(key) == kYes;
    sender->setImage(
        ui::imageNamed(open ? QStringLiteral("arrowDown") : QStringLiteral("arrowUp")));
    m_isOpened.insert(key, open ? kNo : kYes);
    m_table->reloadSections({section});
}

int RechargeRecordViewController::numberOfSectionsInTableView(ui::TableView*) {
    return m_isRechargeRequestSuccess ? kMonthCount : 0;
}

int RechargeRecordViewController::tableViewNumberOfRowsInSection(ui::TableView*, int section) {
    if (m_isOpened.value(QString::number(section)) != kYes) return 0;
    return std::max<int>(1, int(getBillListForSection(section).size()));
}

double RechargeRecordViewController::tableViewHeightForHeaderInSection(ui::TableView*,
                                                                       int section) {
    return m_isOpened.value(QString::number(section)) == kYes ? 32 : 44;
}

ui::TableViewCell*
RechargeRecordViewController::tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                             ui::IndexPath path) {
    auto* cell =
        static_cast<RechargeRecordCell*>(table->dequeueReusableCellWithIdentifier(kCellIdentifier));
    if (!cell) cell = new RechargeRecordCell;
    cell->labelOfDate->setText(QString());
    cell->labelOfAmount->setText(QString());
    cell->labelOfType->setText(QString());
    cell->labelNil->setHidden(true);
    const QVariantList records = getBillListForSection(path.section);
    if (records.isEmpty()) {
        cell->labelNil->setHidden(false);
        return cell;
    }
    const QVariantMap record = records.value(path.row).toMap();
    cell->labelOfDate->setText(BillingSupport::shown(record.value("date")));
    cell->labelOfAmount->setText(
        QStringLiteral("%1元").arg(BillingSupport::shown(record.value("amount"))));
    cell->labelOfType->setText(BillingSupport::shown(record.value("fee_type")));
    return cell;
}

ui::View* RechargeRecordViewController::tableViewViewForHeaderInSection(ui::TableView* table,
                                                                        int section) {
    // The loading overlay stays above the table's headers.
    if (OverlayHUD* hud = baseHud()) view()->bringSubviewToFront(hud);
    const double width = table->frame().width();
    const bool open = m_isOpened.value(QString::number(section)) == kYes;
    auto* header = new ui::View(QRectF(0, 0, width, 44));
    header->setBackgroundColor(Qt::white);
    auto* background = new ui::ImageView(QRectF(0, 0, width, 32), header);
    background->setImage(ui::imageNamed(QStringLiteral("sectionHeaderViewBg")));
    auto* icon = new ui::ImageView(QRectF(120, 9, 13, 15), header);
    icon->setImage(ui::imageNamed(QStringLiteral("rechargeIcon")));

    auto* month = new ui::Label(QRectF(15, 6, 156, 21));
    month->setTextColor(tavrix_blueColor());
    month->setFont(ui::Font::systemFontOfSize(13));
    month->setText(section == 0
                       ? QStringLiteral("本月")
                       : QStringLiteral("%1月").arg(m_arrayOfDate.value(section).mid(5, 2)));

    auto* button = new ui::Button(QRectF(0, 0, width, 30));
    button->setTag(section + kHeaderTagBase);
    button->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Right);
    button->setImageEdgeInsets(QMarginsF(0, 5, 10, 0));
    button->setBackgroundColor(Qt::transparent);
    button->setImage(
        ui::imageNamed(open ? QStringLiteral("arrowUp") : QStringLiteral("arrowDown")));
    button->addTarget(
        this, [this](ui::Control* c) { headerButtonPressed(static_cast<ui::Button*>(c)); },
        ui::Control::TouchUpInside);

    auto* caption = new ui::Label(QRectF(137, 6, 65, 21));
    caption->setText(QStringLiteral("充值合计："));
    caption->setFont(ui::Font::systemFontOfSize(13));
    caption->setTextColor(BillingSupport::darkGrayColor());
    auto* amount = new ui::Label(QRectF(200, 6, 100, 21));
    amount->setFont(ui::Font::systemFontOfSize(13));
    ui::TextAttributes sum;
    sum.font = ui::Font::boldSystemFontOfSize(13);
    sum.foregroundColor = tavrix_blueColor();
    ui::AttributedString text(QString::asprintf("%.2f", double(sumOfSection(section))), sum);
    text.appendString(QStringLiteral("元"));
    amount->setAttributedText(text);

    for (ui::View* v : {static_cast<ui::View*>(button), static_cast<ui::View*>(month),
                        static_cast<ui::View*>(caption), static_cast<ui::View*>(amount)})
        header->addSubview(v);
    return header;
}
