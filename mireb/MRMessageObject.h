#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// Image bytes shared with a message.
class MRImageObject {
public:
    static std::shared_ptr<MRImageObject> object();
    QByteArray imageData() const { return m_imageData; }
    void setImageData(const QByteArray& data) { m_imageData = data; }

private:
    QByteArray m_imageData;
};

// A message shared to Mireb: text and an optional image.
class MRMessageObject {
public:
    static std::shared_ptr<MRMessageObject> message();
    QString text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    std::shared_ptr<MRImageObject> imageObject() const { return m_imageObject; }
    void setImageObject(std::shared_ptr<MRImageObject> image) { m_imageObject = std::move(image); }

private:
    QString m_text;
    std::shared_ptr<MRImageObject> m_imageObject;
};
