#pragma once

#include "app/download/PCFileDownLoadModel.h"

#include <QImage>
#include <QString>

namespace ui {
class ImageView;
}

// Remote pictures for any image view: from the memory cache, else from the file
// cachePath/name, else from a download shared with every other view asking for the same
// address into the same directory. Pictures wider than 640 points are kept at 640.
//
// A failed or non-picture download keeps the placeholder and caches nothing; a cached file
// that does not decode is deleted and fetched again; asking again after a failure retries.
namespace netLoading {
void asynchronousLoadImage(ui::ImageView* view, const QString& url, const QString& name,
                           const QString& cachePath, const QImage& placeholderImage);
// The download the view waits for, if any.
PCFileDownLoadModel::Ptr fileDownloadModel(const ui::ImageView* view);
} // namespace netLoading
