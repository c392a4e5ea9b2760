#include "talvo/TVApiObject.h"

#include <QBuffer>
#include <QPainter>

std::shared_ptr<TVWebpageObject> TVWebpageObject::object() {
    return std::make_shared<TVWebpageObject>();
}

std::shared_ptr<TVMediaMessage> TVMediaMessage::message() {
    return std::make_shared<TVMediaMessage>();
}

void TVMediaMessage::setThumbImage(const QImage& image) {
    if (image.isNull()) return;
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    // JPEG has no alpha: flatten onto white so transparent icons do not turn black.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    if (flat.save(&buffer, "JPEG", 60)) m_thumbData = jpeg;
}
