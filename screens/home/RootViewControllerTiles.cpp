// The home page's data-usage buttons and configured tiles.
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "app/download/PCFile.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "screens/billing/BillingSupport.h"
#include "screens/home/RootViewController.h"

#include <QFileInfo>
#include <QHash>

namespace {

constexpr QRectF kFlowButtonFrame(10, 254, 145, 38);
constexpr QRectF kPackButtonFrame(165, 254, 145, 38);
constexpr int kFlowTag = 1007;
constexpr int kPackTag = 1002;

struct TileLayout {
    QRectF frame;
    QRectF picture;
    QRectF title;
    QRectF desc;
    QSizeF descLimit;
    const char* defaultTitle;
    const char* defaultDesc;
    const char* defaultPicture;
};

// Position 1 fills the left half, 2 and 3 share the right half.
const TileLayout kTiles[3] = {
    {QRectF(0, 300, 159, 156), QRectF(0, 0, 159, 156), QRectF(10, 8, 140, 20),
     QRectF(10, 30, 121, 66), QSizeF(121, 66), "4G免费换卡", "老用户免费换4G卡", "home_tile_card"},
    {QRectF(160, 300, 160, 77), QRectF(0, 0, 160, 77), QRectF(10, 8, 140, 20),
     QRectF(10, 30, 88, 28), QSizeF(88, 28), "家庭网", "全家共享通话时长", "home_tile_family"},
    {QRectF(160, 379, 160, 77), QRectF(0, 0, 160, 77), QRectF(10, 8, 140, 20),
     QRectF(10, 30, 88, 28), QSizeF(88, 28), "手机阅读", "海量好书免费读", "home_tile_reading"},
};

// The largest tile picture, at twice its size in points so it stays sharp on scaled screens.
constexpr QSize kTilePictureFit(320, 312);

QString mainConfigCachePath() {
    return PCFile::fileCacheDir(QStringLiteral("MainInfoConfList.xml"));
}

ui::Button* addButton(ui::View* parent, const QRectF& frame, int tag, const QString& title) {
    auto* button = new ui::Button(frame, parent);
    button->setTag(tag);
    button->setTitle(title);
    button->setBackgroundColor(Qt::white);
    button->setTitleColor(QColor(60, 60, 60));
    button->titleLabel()->setFont(ui::Font::systemFontOfSize(14));
    return button;
}

} // namespace

QString RootViewController::mainConfigDirectory() {
    return PCFile::fileCacheDir(QStringLiteral("MainInfoConfig"));
}

void RootViewController::buildButtons(ui::View* root) {
    for (auto [frame, tag, title] : {std::tuple{kFlowButtonFrame, kFlowTag, "流量查询"},
                                     std::tuple{kPackButtonFrame, kPackTag, "流量加油包"}}) {
        addButton(root, frame, tag, QString::fromUtf8(title))
            ->addTarget(
                this, [this](ui::Control* c) { buttonPressed(static_cast<ui::Button*>(c)); },
                ui::Control::TouchUpInside);
    }
}

void RootViewController::buildTiles(ui::View* root) {
    for (int i = 0; i < 3; ++i) {
        const TileLayout& layout = kTiles[i];
        auto* tile = new ui::View(layout.frame, root);
        tile->setBackgroundColor(Qt::white);
        m_bgOfPos[i] = new ui::ImageView(layout.picture, tile);
        m_bgOfPos[i]->setImage(ui::imageNamed(layout.defaultPicture));
        m_labelTitleOfPos[i] = new ui::Label(layout.title, tile);
        m_labelTitleOfPos[i]->setFont(ui::Font::boldSystemFontOfSize(15));
        m_labelTitleOfPos[i]->setText(QString::fromUtf8(layout.defaultTitle));
        m_labelDescOfPos[i] = new ui::Label(layout.desc, tile);
        m_labelDescOfPos[i]->setNumberOfLines(0);
        m_labelDescOfPos[i]->setFont(ui::Font::systemFontOfSize(11));
        m_labelDescOfPos[i]->setTextColor(BillingSupport::lightGrayColor());
        m_labelDescOfPos[i]->setText(QString::fromUtf8(layout.defaultDesc));
        auto* button = new ui::Button(layout.picture, tile);
        button->setTag(kFirstTileTag + i);
        button->addTarget(
            this,
            [this](ui::Control* c) { bottomThreeWebButtonPressed(static_cast<ui::Button*>(c)); },
            ui::Control::TouchUpInside);
    }
}

ui::Label* RootViewController::labelTitleOfPos(int position) const {
    return position >= 1 && position <= 3 ? m_labelTitleOfPos[position - 1] : nullptr;
}
ui::Label* RootViewController::labelDescOfPos(int position) const {
    return position >= 1 && position <= 3 ? m_labelDescOfPos[position - 1] : nullptr;
}
ui::ImageView* RootViewController::bgOfPos(int position) const {
    return position >= 1 && position <= 3 ? m_bgOfPos[position - 1] : nullptr;
}
ui::Button* RootViewController::buttonWithTag(int tag) const {
    return qobject_cast<ui::Button*>(m_rootScrollView->viewWithTag(tag));
}

void RootViewController::requestOfMainInfoConfList() {
    // "session" and "num" go twice: the base fields first, then these.
    const QList<QPair<QString, QVariant>> fields = {
        {"channel", "2"},
        {"session", tavrixConfig::userSession()},
        {"num", PublicFunction::getConfigWithKey("username")},
    };
    sendRequest("MainInfoConfList", fields, true, [this](const QVariant& reply) {
        if (!reply.isValid()) return;
        const QVariantMap map = reply.toMap();
        const QVariant list = map.value("list");
        if (!ns::Values::isList(list) || list.toList().isEmpty()) return;
        ns::PropertyList::writeFile(mainConfigCachePath(), map);
        QList<FileDO> files;
        for (const QVariant& record : list.toList()) {
            const FileDO file = FileDO::initWithDictOfMainConfig(record.toMap());
            // A name that would leave the picture directory is never fetched.
            if (!FileDO::isSafeFileName(file.strFileName)) continue;
            if (QFileInfo::exists(PCFile::fileCacheDir(file.strFileName))) continue;
            files.append(file);
        }
        if (!m_model) m_model = new FilesListDownloaderModel(this);
        m_model->setSavePathString(mainConfigDirectory());
        m_model->setArrayOfDownloadQueues(files);
        m_model->setDelegate(this);
        m_model->setDownloadType(kDownloadTypeTiles);
        m_model->setPicturesOnly(true);
        m_model->startDownload();
        // An empty list reports nothing: draw what the cache now holds.
        if (files.isEmpty()) loadMainConfigCache();
    });
}

void RootViewController::modelFinishDownloadFiles(FilesListDownloaderModel* model,
                                                  const QList<FileDO>&) {
    if (model->downloadType() == kDownloadTypeTiles) loadMainConfigCache();
}

void RootViewController::loadMainConfigCache() {
    const QVariant cached = ns::PropertyList::readFile(mainConfigCachePath());
    if (!ns::Values::isMap(cached)) return;
    const QVariant list = cached.toMap().value("list");
    if (!ns::Values::isList(list)) return;
    m_arrayOfMainConfigList = list.toList();
    m_hasMainConfigList = true;
    // A later record of a position draws over an earlier one, and a record whose picture is
    // missing leaves its tile as it was: each tile ends up showing the last record of its
    // position with a picture. Found from the end, so a list of thousands costs three
    // records, and each picture file is decoded once, at the size a tile shows it.
    QHash<QString, QImage> pictures;
    QVariantMap shown[3];
    QImage shownPicture[3];
    int left = 3;
    for (auto it = m_arrayOfMainConfigList.crbegin();
         left > 0 && it != m_arrayOfMainConfigList.crend(); ++it) {
        const QVariantMap record = it->toMap();
        const int position = int(ns::Values::integerValue(record.value("position")));
        if (position < 1 || position > 3 || !shown[position - 1].isEmpty()) continue;
        const FileDO file = FileDO::initWithDictOfMainConfig(record);
        if (!FileDO::isSafeFileName(file.strFileName)) continue;
        const QString picture = mainConfigDirectory() + QLatin1Char('/') + file.strFileName;
        auto found = pictures.constFind(picture);
        if (found == pictures.constEnd())
            found = pictures.insert(picture, QFileInfo(picture).isFile()
                                                 ? ui::decodePicture(picture, kTilePictureFit)
                                                 : QImage());
        if (found->isNull()) continue;
        shown[position - 1] = record;
        shownPicture[position - 1] = *found;
        --left;
    }
    for (int i = 0; i < 3; ++i) {
        if (shown[i].isEmpty()) continue;
        const QVariantMap& record = shown[i];
        m_labelTitleOfPos[i]->setText(ns::Values::stringValue(record.value("title")));
        ui::TextAttributes attributes;
        attributes.font = ui::Font::systemFontOfSize(11);
        attributes.foregroundColor = BillingSupport::lightGrayColor();
        ui::ParagraphStyle paragraph;
        paragraph.lineSpacing = i == 0 && PublicFunction::isIOS7OrLater() ? 1.0 : 0;
        attributes.paragraphStyle = paragraph;
        m_labelDescOfPos[i]->setAttributedText(
            ui::AttributedString(ns::Values::stringValue(record.value("main_desc")), attributes));
        m_labelDescOfPos[i]->setFrame(
            PublicFunction::textLabel(m_labelDescOfPos[i], kTiles[i].descLimit));
        m_bgOfPos[i]->setImage(shownPicture[i]);
    }
}

void RootViewController::bottomThreeWebButtonPressed(ui::Button* sender) {
    if (!sender) return;
    const int position = sender->tag() - 1002;
    if (m_hasMainConfigList) {
        for (const QVariant& entry : std::as_const(m_arrayOfMainConfigList)) {
            const QVariantMap record = entry.toMap();
            if (ns::Values::integerValue(record.value("position")) != position) continue;
            const QString type = ns::Values::stringValue(record.value("type"));
            if (type == QLatin1String("1"))
                pushScene(ns::Values::stringValue(record.value("storyboardname")),
                          ns::Values::stringValue(record.value("viewname")), false);
            else if (type == QLatin1String("0"))
                pushWebPage(ns::Values::stringValue(record.value("forward")),
                            ns::Values::stringValue(record.value("title")));
            return;
        }
        return;
    }
    const QString base = tavrixConfig::serverBaseAddress();
    const QString num = PublicFunction::getConfigWithKey("username").toString();
    switch (sender->tag()) {
    case 1003:
        pushWebPage(campaignAddress(), QStringLiteral("4G免费换卡"));
        break;
    case 1004:
        pushScene(QStringLiteral("Main"), QStringLiteral("FNRootViewController"), false);
        break;
    case 1005:
        pushWebPage(readingAddress(base, num, tavrixConfig::userSession()),
                    QStringLiteral("手机阅读"));
        break;
    default:
        break;
    }
}
