#pragma once

#include "platform/ui/Button.h"

#include <QVariant>

// A button that carries what its tap needs (a banner's record, say).
class DDButton : public ui::Button {
    Q_OBJECT
public:
    using Button::Button;

    QVariant data() const { return m_data; }
    void setData(const QVariant& data) { m_data = data; }
    QVariant userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariant& userInfo) { m_userInfo = userInfo; }

private:
    QVariant m_data;
    QVariant m_userInfo;
};
