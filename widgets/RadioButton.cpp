#include "widgets/RadioButton.h"

#include "platform/foundation/Weak.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "widgets/RadioButtonDelegate.h"

#include <QHash>

namespace {

// One registry for the process. Members are weak: a button that goes away (its dialog
// closed) drops out instead of being touched later.
struct Registry {
    QHash<QString, ns::Weak<RadioButtonDelegate>> observers;
    QHash<QString, QList<QPointer<RadioButton>>> instances;
};

Registry& registry() {
    static Registry r;
    return r;
}

void prune(QList<QPointer<RadioButton>>& group) {
    group.removeIf([](const QPointer<RadioButton>& b) { return b.isNull(); });
}

} // namespace

RadioButton::RadioButton(const QString& groupId, unsigned int index, View* parent)
    : View(parent), m_groupId(groupId), m_index(index) {
    defaultInit();
}

RadioButton::~RadioButton() {
    auto it = registry().instances.find(m_groupId);
    if (it == registry().instances.end()) return;
    it->removeIf([this](const QPointer<RadioButton>& b) { return b.isNull() || b == this; });
}

void RadioButton::defaultInit() {
    setFrame(QRectF(0, 0, 44, 44));
    m_button = new ui::Button(QRectF(0, 0, 44, 44), this);
    m_button->setAdjustsImageWhenHighlighted(false);
    m_button->setImage(ui::imageNamed(QStringLiteral("RadioButton-unSelected")),
                       ui::Control::Normal);
    m_button->setImage(ui::imageNamed(QStringLiteral("RadioButton-Selected")),
                       ui::Control::Selected);
    m_button->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Center);
    m_button->setContentVerticalAlignment(ui::Control::ContentVerticalAlignment::Center);
    m_button->addTarget(
        this, [this](ui::Control*) { handleButtonTap(); }, ui::Control::TouchUpInside);
    registerInstance(this, m_groupId);
}

void RadioButton::setChecked(bool checked) {
    if (m_button) m_button->setSelected(checked);
}

bool RadioButton::isChecked() const {
    return m_button && m_button->isSelected();
}

void RadioButton::handleButtonTap() {
    if (m_button) m_button->setSelected(true);
    buttonSelected(this);
}

void RadioButton::otherButtonSelected(RadioButton*) {
    if (m_button && m_button->isSelected()) m_button->setSelected(false);
}

void RadioButton::addObserverForGroupId(const QString& groupId, RadioButtonDelegate* observer) {
    if (groupId.isEmpty() || !observer) return;
    registry().observers.insert(groupId, ns::Weak<RadioButtonDelegate>(observer));
}

void RadioButton::registerInstance(RadioButton* button, const QString& withGroupID) {
    if (!button) return;
    auto& group = registry().instances[withGroupID];
    prune(group);
    group.append(button);
}

void RadioButton::buttonSelected(RadioButton* button) {
    if (!button) return;
    QPointer<RadioButton> chosen(button);
    const QString groupId = button->groupId();
    const unsigned int index = button->index();
    // The observer hears of the choice before the others are cleared.
    if (RadioButtonDelegate* observer = registry().observers.value(groupId).get())
        observer->radioButtonSelectedAtIndex(index, groupId);
    // The observer may have closed the dialog: walk a snapshot of the live members.
    for (RadioButton* other : instancesOfGroup(groupId))
        if (other != chosen.data()) other->otherButtonSelected(chosen.data());
}

QList<RadioButton*> RadioButton::instancesOfGroup(const QString& groupId) {
    auto it = registry().instances.find(groupId);
    if (it == registry().instances.end()) return {};
    prune(*it);
    QList<RadioButton*> out;
    for (const auto& b : *it)
        out.append(b.data());
    return out;
}
