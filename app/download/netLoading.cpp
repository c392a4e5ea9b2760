#include "app/download/netLoading.h"

#include "app/download/MultiplexCache.h"
#include "app/download/Scale.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include <QFile>
#include <QFileInfo>

namespace netLoading {

namespace {

constexpr char kAgentName[] = "__FileDownloadModel";

// Kept no wider than the cache keeps pictures, decoded straight at that width.
const QSize kCachedFit(int(Scale::kMaxCachedWidth), 1 << 20);

QImage cachedPicture(const QByteArray& bytes) {
    return Scale::limitedWidth(ui::decodePicture(bytes, kCachedFit));
}

// What a view waits for; lives as the view's child, so it goes with the view.
class Agent : public QObject, public PCFileDownLoadModelDelegate {
public:
    explicit Agent(ui::ImageView* view) : QObject(view), m_view(view) {
        setObjectName(QLatin1String(kAgentName));
    }
    ~Agent() override { leave(); }

    PCFileDownLoadModel::Ptr model() const { return m_model; }
    void wait(const PCFileDownLoadModel::Ptr& model) {
        if (model == m_model) return;
        leave();
        m_model = model;
        m_model->addDelegate(this);
        m_model->download();
    }
    void leave() {
        if (!m_model) return;
        const auto model = std::move(m_model);
        m_model.reset();
        model->leave(this);
    }

    void modelDownloadSuccsess(PCFileDownLoadModel* model, bool success, const QString&) override {
        if (!m_model || model != m_model.get()) return;
        const auto held = std::move(m_model);
        m_model.reset();
        model->removeDelegate(this);
        if (!success) return; // the placeholder stays
        const QString key = model->savePath();
        // A picture download has decoded it once for all its waiters.
        const auto* pictures = qobject_cast<PCImageFileDownloadModel*>(model);
        const QImage image = pictures ? pictures->picture() : cachedPicture(model->downLoadData());
        if (image.isNull()) {
            // Not a picture after all: nothing of it is kept.
            QFile::remove(key);
            return;
        }
        MultiplexCache::setImage(image, key);
        m_view->setImage(image);
    }

private:
    ui::ImageView* m_view;
    PCFileDownLoadModel::Ptr m_model;
};

Agent* agentOf(const ui::ImageView* view) {
    return view->findChild<Agent*>(QLatin1String(kAgentName), Qt::FindDirectChildrenOnly);
}

void leaveDownload(ui::ImageView* view) {
    if (Agent* agent = agentOf(view)) agent->leave();
}

} // namespace

PCFileDownLoadModel::Ptr fileDownloadModel(const ui::ImageView* view) {
    const Agent* agent = view ? agentOf(view) : nullptr;
    return agent ? agent->model() : nullptr;
}

void asynchronousLoadImage(ui::ImageView* view, const QString& url, const QString& name,
                           const QString& cachePath, const QImage& placeholderImage) {
    if (!view) return;
    const QString key = cachePath + QLatin1Char('/') + name;
    const QImage cached = MultiplexCache::imageWithKey(key);
    if (!cached.isNull()) {
        // An earlier picture still on its way must not replace this one.
        leaveDownload(view);
        view->setImage(cached);
        return;
    }
    if (url.isEmpty() || url == QLatin1String("null")) {
        leaveDownload(view);
        view->setImage(placeholderImage);
        return;
    }
    if (QFileInfo(key).isFile()) {
        const QImage image = Scale::limitedWidth(ui::decodePicture(key, kCachedFit));
        if (!image.isNull()) {
            leaveDownload(view);
            MultiplexCache::setImage(image, key);
            view->setImage(image);
            return;
        }
        // A damaged file: gone, and fetched again below.
        QFile::remove(key);
    }
    view->setImage(placeholderImage);
    Agent* agent = agentOf(view);
    if (agent && agent->model() && agent->model()->urlString() == url &&
        agent->model()->pathString() == cachePath && agent->model()->saveNameString() == name)
        return; // already waiting for it
    if (!agent) agent = new Agent(view);
    auto model = PCImageFileDownloadModel::modelWithUrl(url, cachePath);
    if (!model->isLoading()) model->setSaveNameString(name);
    agent->wait(model);
}

} // namespace netLoading
