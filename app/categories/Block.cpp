#include "app/categories/Block.h"

#include "platform/ui/AlertView.h"

#include <QVariant>

Q_DECLARE_METATYPE(Block::SelectBlock)

namespace Block {

namespace {
constexpr const char* kKey = "__SelectBlock";
}

ui::AlertView* alertWithTitle(const QString& title, const QString& message, SelectBlock buttonIndex,
                              const QString& cancelButtonTitle, const QString& otherButtonTitles) {
    QStringList others;
    if (!otherButtonTitles.isNull()) others << otherButtonTitles;
    auto* alert = new ui::AlertView(title, message, nullptr, cancelButtonTitle, others);
    setSelectBlock(alert, std::move(buttonIndex));
    alert->setCallback([](ui::AlertView* a, int index) {
        if (const SelectBlock block = selectBlock(a)) block(index);
    });
    return alert;
}

void setSelectBlock(ui::AlertView* alert, SelectBlock block) {
    if (alert) alert->setProperty(kKey, QVariant::fromValue(std::move(block)));
}

SelectBlock selectBlock(const ui::AlertView* alert) {
    if (!alert) return {};
    return alert->property(kKey).value<SelectBlock>();
}

} // namespace Block
