#include "screens/query/HotBusinessViewController.h"

#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "screens/query/OperatorPages.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Label.h"
#include "platform/ui/Storyboard.h"
#include "screens/services/MorePackageTableViewCell.h"

#include <QEvent>

TAVRIX_REGISTER_SCENE("Main", "HotBusinessViewController", HotBusinessViewController);
TAVRIX_REGISTER_SEGUE("ManageViewController", "ManageViewToHotBusiness", Push, "Main",
                      "HotBusinessViewController");

namespace {
const QString kFamilyNetworkFlag = QStringLiteral("2");
} // namespace

QString HotBusinessViewController::orderingPathForMarketId(const QString& marketid) {
    if (marketid == QLatin1String("8010020140611005"))
        return QStringLiteral("ulvek/optional.html?num=%@&session=%@&marketid=%@&type=2");
    if (marketid == QLatin1String("8010020140611001"))
        return QStringLiteral("ulvek/handle.html?num=%@&session=%@&marketid=%@&type=1");
    return QStringLiteral("ulvek/handle.html?num=%@&session=%@&marketid=%@&type=3");
}

QVariantList HotBusinessViewController::offersOfReply(const QVariantMap& reply) {
    QVariantList out;
    for (const char* key : {"likelist", "hotlist"}) {
        const QVariant list = reply.value(QString::fromLatin1(key));
        if (!ns::Values::isList(list)) continue;
        for (const QVariant& entry : list.toList())
            if (ns::Values::isMap(entry)) out << entry;
    }
    return out;
}

HotBusinessViewController::HotBusinessViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("热门业务"));
    setHidesBottomBarWhenPushed(true);
}

HotBusinessViewController::~HotBusinessViewController() = default;

void HotBusinessViewController::loadView() {
    ViewController::loadView();
    m_tableViewOfBusiness =
        new ui::TableView(view()->bounds(), ui::TableView::Style::Plain, view());
    m_tableViewOfBusiness->setHidden(true);
    m_tableViewOfBusiness->setDataSource(this);
    m_tableViewOfBusiness->setDelegate(this);
    m_resizedView = view();
    view()->installEventFilter(this);
}

bool HotBusinessViewController::eventFilter(QObject* watched, QEvent* event) {
    // The event type first: the view also reports its own teardown here.
    if (event->type() == QEvent::Resize && m_resizedView && watched == m_resizedView &&
        m_tableViewOfBusiness)
        m_tableViewOfBusiness->setFrame(view()->bounds());
    return ViewController::eventFilter(watched, event);
}

void HotBusinessViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_arrayOfList.clear();
    requestOfBusinessSend();
}

void HotBusinessViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (const auto selected = m_tableViewOfBusiness->indexPathForSelectedRow())
        m_tableViewOfBusiness->deselectRowAtIndexPath(*selected, true);
}

void HotBusinessViewController::requestOfBusinessSend() {
    HTTPRequest* request = requestStartWithKey("Search", true);
    if (!request) return;
    request->setPostValue("2", "channel");
    QPointer<HotBusinessViewController> self(this);
    request->setCompletionHandler([self](const QVariant& reply) {
        if (self) self->showReply(self->requestFinishedBase(reply));
    });
    // The common failure handler alerts; the list must still say it is empty.
    request->setFailureHandler([self](const HTTPError& error) {
        if (!self) return;
        self->commonFailureHandler(error);
        self->showReply(QVariant());
    });
    request->startRequest();
}

void HotBusinessViewController::showReply(const QVariant& accepted) {
    if (accepted.isValid()) {
        m_arrayOfList += offersOfReply(accepted.toMap());
        m_tableViewOfBusiness->setHidden(false);
    }
    if (m_arrayOfList.isEmpty() && !m_nilLabel) {
        m_nilLabel = tavrixConfig::createNilLabelInView(view());
        view()->addSubview(m_nilLabel);
    }
    m_tableViewOfBusiness->reloadData();
}

BanliDo HotBusinessViewController::offerAt(int row) const {
    if (row < 0 || row >= m_arrayOfList.size()) return BanliDo();
    return BanliDo::initWithMenuDict(m_arrayOfList.at(row).toMap());
}

int HotBusinessViewController::tableViewNumberOfRowsInSection(ui::TableView*, int) {
    return int(m_arrayOfList.size());
}

ui::TableViewCell* HotBusinessViewController::tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                                             ui::IndexPath path) {
    auto* cell = qobject_cast<MorePackageTableViewCell*>(
        table->dequeueReusableCellWithIdentifier(MorePackageTableViewCell::kReuseIdentifier));
    if (!cell) cell = new MorePackageTableViewCell;
    if (path.row >= 0 && path.row < m_arrayOfList.size()) cell->setBanliDO(offerAt(path.row));
    return cell;
}

double HotBusinessViewController::tableViewHeightForRowAtIndexPath(ui::TableView*,
                                                                   ui::IndexPath path) {
    if (!m_sizingCell) m_sizingCell = std::make_unique<MorePackageTableViewCell>();
    m_sizingCell->setBanliDO(offerAt(path.row));
    return m_sizingCell->frame().height();
}

void HotBusinessViewController::tableViewDidSelectRowAtIndexPath(ui::TableView*,
                                                                 ui::IndexPath path) {
    const BanliDo item = offerAt(path.row);
    if (item.configflag == kFamilyNetworkFlag) {
        OperatorPages::pushScene(this, "Main", "FNRootViewController", false, true);
        return;
    }
    const QString address = OperatorPages::pageAddress(
        orderingPathForMarketId(item.marketid),
        {PublicFunction::getConfigWithKey("username").toString(),
         PublicFunction::getConfigWithKey("session").toString(), item.marketid});
    OperatorPages::openWebPage(this, address, item.marketname, true);
}
