#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

#include <QPointer>
#include <QString>
#include <functional>

// A reusable bill section header laid out like the ones the bill screen builds itself: arrow,
// title, amount, and a button over the whole header that hands itself to headerButtonPressed.
class TelephoneBillHeaderView : public ui::View {
    Q_OBJECT
public:
    using HeaderButtonPressed = std::function<void(ui::Button*)>;
    static constexpr int kButtonTagBase = 1000;

    explicit TelephoneBillHeaderView(const QString& reuseIdentifier = QString(),
                                     ui::View* parent = nullptr);

    QString reuseIdentifier() const { return m_reuseIdentifier; }
    ui::View* contentView() const { return m_contentView; }
    float section() const { return m_section; }
    void setSection(float section) { m_section = section; }
    ui::ImageView* imageViewOfArrow() const { return m_imageViewOfArrow; }
    ui::Label* labelOfTitle() const { return m_labelOfTitle; }
    ui::Label* labelOfMoney() const { return m_labelOfMoney; }
    ui::Button* button() const { return m_button; }
    void setHeaderButtonPressed(HeaderButtonPressed block) {
        m_headerButtonPressed = std::move(block);
    }

    void buttonPressed(ui::Button* sender);
    // The content view and the button span the header, however wide the table makes it.
    void layoutSubviews() override;

private:
    QString m_reuseIdentifier;
    float m_section = 0;
    ui::View* m_contentView = nullptr;
    QPointer<ui::ImageView> m_imageViewOfArrow;
    QPointer<ui::Label> m_labelOfTitle;
    QPointer<ui::Label> m_labelOfMoney;
    QPointer<ui::Button> m_button;
    HeaderButtonPressed m_headerButtonPressed;
};
