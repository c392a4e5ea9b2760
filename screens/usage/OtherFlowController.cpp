#include "screens/usage/OtherFlowController.h"

#include "app/categories/NoCrash.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/ui/Font.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/StoryboardSegue.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/usage/FlowFormat.h"
#include "screens/usage/OtherFlowCell.h"
#include "widgets/ActivityIndicator.h"

namespace {
// The content area below the navigation bar is 320 x 504: the list, then the button 40
// points under it.
constexpr double kTableTop = 10;
constexpr double kButtonHeight = 40;
const char kSegueToSuitOrder[] = "OtherFlowToSuitOrder";
} // namespace

OtherFlowController::OtherFlowController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("其他免费资源"));
    setHidesBottomBarWhenPushed(true);
}

OtherFlowController::~OtherFlowController() = default;

void OtherFlowController::loadView() {
    ViewController::loadView();
    // The list leaves 114 points below it for the button.
    const double height = heightBelowBars() - 114 - kTableTop;
    m_tableViewOfFlow =
        new ui::TableView(QRectF(0, kTableTop, 320, height), ui::TableView::Style::Plain, view());
    m_tableViewOfFlow->setDataSource(this);
    m_tableViewOfFlow->setDelegate(this);
    m_buttonOfOrder = FlowFormat::filledButton(
        QRectF(15, m_tableViewOfFlow->frame().bottom() + 40, 290, kButtonHeight),
        QStringLiteral("变更流量套餐"), TavrixApplicationSpecific::tavrix_blueColor(), 15, view());
    m_buttonOfOrder->setTag(kOrderTag);
    ui::Button* button = m_buttonOfOrder;
    m_buttonOfOrder->addAction(ui::Control::TouchUpInside, [this, button] {
        performSegueWithIdentifier(kSegueToSuitOrder, button);
    });
}

void OtherFlowController::viewDidLoad() {
    ViewController::viewDidLoad();
    view()->setBackgroundColor(Qt::white);
    reqOfFreeResourceList();
}

void OtherFlowController::viewWillDisappear(bool animated) {
    ActivityIndicator::hide();
    ViewController::viewWillDisappear(animated);
}

void OtherFlowController::reqOfFreeResourceList() {
    HTTPRequest* request = requestStartWithKey("FreeResourceForOtherList", true);
    request->setCompletionHandler([this](const QVariant& reply) {
        const QVariant accepted = requestFinishedBase(reply);
        if (accepted.isValid()) {
            const FlowFormat::ListReading list = FlowFormat::readList(accepted.toMap(), "list");
            if (list.valid)
                m_respArrayOfWhereUsed = list.list;
            else
                PublicFunction::showAlert(QStringLiteral("系统提示"), QStringLiteral("查询失败"));
        }
        if (m_respArrayOfWhereUsed.isEmpty() && !m_nilLabel) {
            m_nilLabel = tavrixConfig::createNilLabelInView(m_tableViewOfFlow);
            m_tableViewOfFlow->addSubview(m_nilLabel);
        } else if (!m_respArrayOfWhereUsed.isEmpty() && m_nilLabel) {
            delete m_nilLabel.data();
        }
        m_tableViewOfFlow->reloadData();
    });
    request->startRequest();
}

int OtherFlowController::tableViewNumberOfRowsInSection(ui::TableView*, int) {
    return int(m_respArrayOfWhereUsed.size());
}

ui::TableViewCell* OtherFlowController::tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                                       ui::IndexPath path) {
    auto* cell = qobject_cast<OtherFlowCell*>(
        table->dequeueReusableCellWithIdentifier(OtherFlowCell::kReuseIdentifier));
    if (!cell) cell = new OtherFlowCell;
    const QVariant record = NoCrash::objectAtIndexNoCrash(m_respArrayOfWhereUsed, path.row);
    if (record.isValid()) cell->setCellData(record.toMap());
    return cell;
}

void OtherFlowController::prepareForSegue(ui::StoryboardSegue* segue, QObject* sender) {
    auto* button = qobject_cast<ui::View*>(sender);
    ui::ViewController* destination = segue ? segue->destinationViewController() : nullptr;
    if (button && button->tag() == kOrderTag && destination &&
        destination->metaObject()->indexOfProperty("dataType") >= 0)
        destination->setProperty("dataType", QStringLiteral("1"));
}

TAVRIX_REGISTER_SCENE("Flow", "OtherFlowController", OtherFlowController);
TAVRIX_REGISTER_SEGUE("OtherFlowController", "OtherFlowToSuitOrder", Push, "Flow",
                      "FlowSuitChangeController");
