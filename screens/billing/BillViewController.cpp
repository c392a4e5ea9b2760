#include "screens/billing/BillViewController.h"

#include "app/categories/BFDicUtils.h"
#include "app/core/HTTPRequest.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/billing/BillingSupport.h"
#include "screens/billing/TurningImageView.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TableViewCell.h"
#include "widgets/RoundCornerView.h"

TAVRIX_REGISTER_SCENE("Main", "BillViewController", BillViewController);
TAVRIX_REGISTER_SEGUE("RootViewController", "RootViewToTelBill", Push, "Main",
                      "BillViewController");

namespace {

using TavrixApplicationSpecific::tavrix_blueColor;
using TavrixApplicationSpecific::tavrix_greenColor;

const QString kCellIdentifier = QStringLiteral("telBillCellIdentifier");
const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");
const QString kMonthSelected = QStringLiteral("monthSelected.png");
const QString kMonthBg = QStringLiteral("monthBg");

// The scene's layout, in points of the view below the navigation bar.
struct Layout {
    static constexpr double monthY = 10, monthWidth = 48, monthHeight = 32, monthPitch = 51,
                            monthX = 8.5;
    static constexpr double panelY = 56, panelHeight = 81, familyPanelHeight = 93;
    static constexpr double tableY = 150, tableHeight = 354, familyTableY = 162,
                            familyTableHeight = 342;
    static constexpr double nameWidth = 200, nameMaxHeight = 40;
};

QVariantList mapsOf(const QVariantList& list) {
    QVariantList out;
    for (const QVariant& v : list)
        if (ns::Values::isMap(v)) out.append(v);
    return out;
}

// A bill row: the charge's name (up to two lines) and its amount.
class TelephoneBillTableViewCell : public ui::TableViewCell {
public:
    TelephoneBillTableViewCell() : ui::TableViewCell(Style::Default, kCellIdentifier) {
        setSelectionStyle(SelectionStyle::None);
        labelOfName = new ui::Label(QRectF(35, 4, Layout::nameWidth, 21), contentView());
        labelOfName->setFont(ui::Font::systemFontOfSize(13));
        labelOfName->setTextColor(BillingSupport::darkGrayColor());
        labelOfName->setNumberOfLines(0);
        labelOfName->setLineBreakMode(ui::LineBreakMode::WordWrapping);
        labelOfAmount = new ui::Label(QRectF(190, 4, 106, 21), contentView());
        labelOfAmount->setFont(ui::Font::systemFontOfSize(13));
        labelOfAmount->setTextColor(BillingSupport::darkGrayColor());
        labelOfAmount->setTextAlignment(ui::TextAlignment::Right);
    }
    ui::Label* labelOfName;
    ui::Label* labelOfAmount;
};

} // namespace

BillViewController::BillViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("话费账单"));
    setHidesBottomBarWhenPushed(true);
}

BillViewController::~BillViewController() = default;

void BillViewController::loadView() {
    ViewController::loadView();
    ui::View* root = view();
    for (int i = 0; i < kMonthCount; ++i) {
        auto* button =
            new ui::Button(QRectF(Layout::monthX + i * Layout::monthPitch, Layout::monthY,
                                  Layout::monthWidth, Layout::monthHeight),
                           root);
        button->setTag(kFirstMonthTag + i);
        button->setBackgroundImage(ui::imageNamed(kMonthBg));
        button->titleLabel()->setFont(ui::Font::systemFontOfSize(14));
        button->addTarget(
            this, [this](ui::Control* c) { buttonOfMonthPressed(static_cast<ui::Button*>(c)); },
            ui::Control::TouchUpInside);
        m_monthButtons.append(button);
    }
    m_viewOfBill = new RoundCornerView(QRectF(10, Layout::panelY, 300, Layout::panelHeight), root);
    auto label = [this](double y) {
        auto* l = new ui::Label(QRectF(12, y, 276, 20), m_viewOfBill);
        l->setFont(ui::Font::systemFontOfSize(13));
        l->setTextColor(BillingSupport::darkGrayColor());
        return l;
    };
    m_labelOfTotal = label(6);
    m_labelOfTotal->setFont(ui::Font::boldSystemFontOfSize(15));
    m_labelOfOtherPay = label(28);
    m_labelOfActuallyPay = label(50);
    m_lableOfFamilyTotal = label(72);
    m_lableOfFamilyTotal->setHidden(true);

    m_table = new ui::TableView(QRectF(0, Layout::tableY, 320, Layout::tableHeight),
                                ui::TableView::Style::Plain, root);
    m_table->setBackgroundColor(Qt::white);
    m_table->setSeparatorStyle(ui::TableView::SeparatorStyle::None);
    m_table->setAllowsSelection(false);
    m_table->setDataSource(this);
    m_table->setDelegate(this);
}

void BillViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_arrayOfBill.clear();
    m_isOpened.clear();
    m_billMonth = QStringLiteral("0");
    requestOfTelBillSendWith(m_billMonth);
    for (int i = 0; i < kMonthCount; ++i)
        m_monthButtons[i]->setTitleColor(i == 0 ? QColor(Qt::white) : tavrix_blueColor());
    m_labelOfTotal->setTextColor(tavrix_blueColor());
    buildMonthList();
}

void BillViewController::buildMonthList() {
    const QDate today = ns::DateFormat::now().date();
    int year = today.year();
    int month = today.month();
    m_arrayOfDate = {QStringLiteral("本月")};
    m_dicOfYM.clear();
    for (int i = 1; i < kMonthCount; ++i) {
        if (--month < 1) {
            month = 12;
            --year;
        }
        m_arrayOfDate.append(QString::asprintf("%02d月", month));
        m_dicOfYM.insert(QString::asprintf("%02d", month),
                         QString::asprintf("%d%02d", year, month));
    }
    for (int i = 0; i < kMonthCount; ++i)
        m_monthButtons[i]->setTitle(m_arrayOfDate[i]);
    m_monthButtons[0]->setBackgroundImage(ui::imageNamed(kMonthSelected));
}

ui::Button* BillViewController::buttonOfMonth(int index) const {
    return index >= 0 && index < m_monthButtons.size() ? m_monthButtons[index].data() : nullptr;
}

void BillViewController::requestOfTelBillSendWith(const QString& ym) {
    m_isOpened.clear();
    // Only the month chosen last may answer: the one asked before is called off.
    if (HTTPRequest* older = m_requestOfTelBill) older->cancleRequest();
    HTTPRequest* request = requestStartWithKey(QStringLiteral("Bill"), true);
    m_requestOfTelBill = request;
    request->setPostValue(ym, QStringLiteral("ym"));
    request->setCompletionHandler([this, request](const QVariant& reply) {
        if (request == m_requestOfTelBill) billReplied(reply);
    });
    request->startRequest();
}

void BillViewController::billReplied(const QVariant& reply) {
    m_arrayOfBill.clear();
    m_labelOfTotal->setText(QString());
    m_labelOfOtherPay->setText(QString());
    m_labelOfActuallyPay->setText(QString());
    const QVariant judged = requestFinishedBase(reply);
    const QVariantMap qry = BFDicUtils::getDic(judged, QStringLiteral("qry"));
    if (judged.isValid() && !qry.isEmpty()) {
        using BillingSupport::shown;
        m_labelOfTotal->setText(QStringLiteral("合计：%1元").arg(shown(qry.value("total"))));
        m_labelOfOtherPay->setText(
            QStringLiteral("他人（单位）代付：%1元").arg(shown(qry.value("others_pay"))));
        m_labelOfActuallyPay->setText(
            QStringLiteral("个人实际消费：%1元").arg(shown(qry.value("actually_pay"))));
        m_arrayOfBill = mapsOf(BFDicUtils::getList(qry, QStringLiteral("list")));
        const QVariantList family = mapsOf(BFDicUtils::getList(qry, QStringLiteral("family")));
        QRectF panel = m_viewOfBill->frame();
        QRectF table = m_table->frame();
        if (!family.isEmpty()) {
            panel.setHeight(Layout::familyPanelHeight);
            table.moveTop(Layout::familyTableY);
            table.setHeight(Layout::familyTableHeight);
            m_lableOfFamilyTotal->setHidden(false);
            m_lableOfFamilyTotal->setText(
                QStringLiteral("群组消费：%1元").arg(shown(qry.value("family_total"))));
            m_arrayOfBill.append(QVariantMap{{"amount", qry.value("family_total")},
                                             {"list", family},
                                             {"name", QStringLiteral("群组消费")}});
        } else {
            panel.setHeight(Layout::panelHeight);
            table.moveTop(Layout::tableY);
            table.setHeight(Layout::tableHeight);
            m_lableOfFamilyTotal->setHidden(true);
        }
        m_viewOfBill->setFrame(panel);
        m_table->setFrame(table);
    }
    m_table->reloadData();
}

void BillViewController::buttonOfMonthPressed(ui::Button* sender) {
    if (!sender) return;
    for (const auto& button : m_monthButtons) {
        button->setBackgroundImage(ui::imageNamed(kMonthBg));
        button->setTitleColor(tavrix_blueColor());
    }
    sender->setBackgroundImage(ui::imageNamed(kMonthSelected));
    sender->setTitleColor(Qt::white);
    const int index = sender->tag() - kFirstMonthTag;
    if (index <= 0 || index >= m_arrayOfDate.size()) {
        m_billMonth = QStringLiteral("0");
    } else {
        const QString title = m_arrayOfDate[index];
        m_billMonth = m_dicOfYM.value(title.left(title.size() - 1), QStringLiteral("0"));
    }
    requestOfTelBillSendWith(m_billMonth);
}

void BillViewController::headerButtonPressed(ui::Button* sender) {
    if (!sender) return;
    const int section = sender->tag() - kHeaderTagBase;
    if (section < 0 || section >= m_arrayOfBill.size()) return;
    const QString key = QString::number(section);
    m_isOpened.insert(key, m_isOpened.value(key) == kYes ? kNo : kYes);
    m_table->reloadSections({section});
}

QVariantList BillViewController::itemsOfSection(int section) const {
    if (section < 0 || section >= m_arrayOfBill.size()) return {};
    return mapsOf(BFDicUtils::getList(m_arrayOfBill[section], QStringLiteral("list")));
}

int BillViewController::numberOfSectionsInTableView(ui::TableView*) {
    return int(m_arrayOfBill.size());
}

int BillViewController::tableViewNumberOfRowsInSection(ui::TableView*, int section) {
    if (m_isOpened.value(QString::number(section)) != kYes) return 0;
    return int(itemsOfSection(section).size());
}

double BillViewController::rowHeightForName(const QString& name) {
    if (name.isEmpty()) return 8;
    const QSizeF size = ui::Label::boundingRectForText(
        name, ui::Font::systemFontOfSize(13), QSizeF(Layout::nameWidth, Layout::nameMaxHeight));
    return std::ceil(size.height()) + 8;
}

ui::TableViewCell* BillViewController::tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                                      ui::IndexPath path) {
    auto* cell = static_cast<TelephoneBillTableViewCell*>(
        table->dequeueReusableCellWithIdentifier(kCellIdentifier));
    if (!cell) cell = new TelephoneBillTableViewCell;
    const QVariantMap item = itemsOfSection(path.section).value(path.row).toMap();
    const QString name = BillingSupport::shown(item.value("name"));
    cell->labelOfName->setText(name);
    QRectF frame = cell->labelOfName->frame();
    frame.setHeight(rowHeightForName(name) - 8);
    cell->labelOfName->setFrame(frame);
    cell->labelOfAmount->setText(
        QStringLiteral("%1元").arg(BillingSupport::shown(item.value("amount"))));
    return cell;
}

double BillViewController::tableViewHeightForRowAtIndexPath(ui::TableView*, ui::IndexPath path) {
    const QVariantMap item = itemsOfSection(path.section).value(path.row).toMap();
    return rowHeightForName(BillingSupport::shown(item.value("name")));
}

ui::View* BillViewController::tableViewViewForHeaderInSection(ui::TableView* table, int section) {
    const double width = table->frame().width();
    auto* header = new ui::View(QRectF(0, 0, width, 30));
    header->setBackgroundColor(Qt::white);
    auto* title = new ui::Label(QRectF(35, 8, 156, 21));
    auto* money = new ui::Label(QRectF(190, 8, 106, 21));
    for (ui::Label* l : {title, money}) {
        l->setTextColor(BillingSupport::darkGrayColor());
        l->setBackgroundColor(Qt::transparent);
        l->setFont(ui::Font::systemFontOfSize(13));
    }
    money->setTextAlignment(ui::TextAlignment::Right);
    auto* button = new ui::Button(QRectF(0, 0, width, 30));
    button->setTag(section + kHeaderTagBase);
    button->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Left);
    button->setImageEdgeInsets(QMarginsF(17, 5, 0, 0));
    button->setBackgroundColor(Qt::transparent);
    button->addTarget(
        this, [this](ui::Control* c) { headerButtonPressed(static_cast<ui::Button*>(c)); },
        ui::Control::TouchUpInside);
    const QImage arrowImage = ui::imageNamed(QStringLiteral("arrowDown"));
    auto* arrow = new TurningImageView(arrowImage);
    arrow->setFrame(QRectF(QPointF(20, 15), ui::imageSize(arrowImage)));
    header->addSubview(arrow);

    const QVariantMap group = m_arrayOfBill.value(section).toMap();
    title->setText(BillingSupport::shown(group.value("name")));
    money->setText(QStringLiteral("%1元").arg(BillingSupport::shown(group.value("amount"))));
    if (!itemsOfSection(section).isEmpty()) {
        title->setTextColor(tavrix_blueColor());
        money->setTextColor(tavrix_greenColor());
        const bool open = m_isOpened.value(QString::number(section)) == kYes;
        arrow->turnTo(open ? 3.14 : 0, 2.0, 1.0, 1.0);
    } else {
        // Nothing to open: no arrow, and the header ignores taps.
        arrow->removeFromSuperview();
        arrow->deleteLater();
        button->setEnabled(false);
    }
    header->addSubview(button);
    header->addSubview(title);
    header->addSubview(money);
    return header;
}

ui::View* BillViewController::tableViewViewForFooterInSection(ui::TableView* table, int) {
    const double width = table->frame().width();
    auto* footer = new ui::View(QRectF(0, 0, width, 6));
    footer->setBackgroundColor(Qt::white);
    auto* line = new ui::ImageView(QRectF(0, 5, width, 1), footer);
    line->setImage(ui::imageNamed(QStringLiteral("onePxLine.png")));
    return footer;
}
