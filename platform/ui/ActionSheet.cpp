#include "platform/ui/ActionSheet.h"

#include "platform/ui/AlertCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {
constexpr double kInset = 8;
constexpr double kRow = 44;
constexpr double kGap = 8;
constexpr double kSlide = 0.3;
constexpr const char* kSlideKey = "sheet";
const QColor kButtonColor(0, 122, 255);
const QColor kDestructiveColor(255, 59, 48);
} // namespace

ActionSheet::ActionSheet(const QString& title, ActionSheetDelegate* delegate,
                         const QString& cancelButtonTitle, const QString& destructiveButtonTitle,
                         const QStringList& otherButtonTitles)
    : m_title(title), m_delegate(delegate) {
    if (!destructiveButtonTitle.isNull())
        m_destructiveIndex = addButtonWithTitle(destructiveButtonTitle);
    for (const QString& t : otherButtonTitles)
        addButtonWithTitle(t);
    if (!cancelButtonTitle.isNull()) m_cancelIndex = addButtonWithTitle(cancelButtonTitle);
}

ActionSheet::~ActionSheet() {
    AlertCenter::remove(this);
}

int ActionSheet::addButtonWithTitle(const QString& title) {
    m_buttons.append(title);
    return int(m_buttons.size()) - 1;
}

QString ActionSheet::buttonTitleAtIndex(int index) const {
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : QString();
}

void ActionSheet::buildViews() {
    Window* window = Window::keyWindow();
    if (!window) return;
    View* layer = window->alertLayer();
    auto* overlay = new View(layer->bounds(), layer);
    overlay->setBackgroundColor(QColor(0, 0, 0, 102));
    m_overlay = overlay;
    const double width = layer->bounds().width() - 2 * kInset;

    // The choices in one rounded group, cancel apart below it.
    auto* group = new View(overlay);
    group->setBackgroundColor(QColor(247, 247, 247));
    group->setCornerRadius(4);
    group->setClipsToBounds(true);
    double y = 0;
    if (!m_title.isEmpty()) {
        auto* label = new Label(group);
        label->setFont(Font::systemFontOfSize(13));
        label->setTextColor(QColor(143, 143, 143));
        label->setTextAlignment(TextAlignment::Center);
        label->setNumberOfLines(0);
        label->setText(m_title);
        const double h = std::max(kRow, label->sizeThatFits(QSizeF(width - 32, 0)).height() + 24);
        label->setFrame(QRectF(16, 0, width - 32, h));
        y = h;
    }
    QPointer<ActionSheet> self(this);
    auto makeButton = [&](View* parent, int index, double top) {
        auto* b = new Button(QRectF(0, top, width, kRow), parent);
        b->setTag(index + 1);
        b->titleLabel()->setFont(index == m_cancelIndex ? Font::boldSystemFontOfSize(20)
                                                        : Font::systemFontOfSize(20));
        b->setTitle(m_buttons.at(index));
        b->setTitleColor(index == m_destructiveIndex ? kDestructiveColor : kButtonColor);
        auto* line = new View(QRectF(0, top, width, 0.5), parent);
        line->setBackgroundColor(QColor(0, 0, 0, 50));
        b->addAction(Control::TouchUpInside, [self, index] {
            if (self) self->pressButtonAtIndex(index);
        });
    };
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (i == m_cancelIndex) continue;
        makeButton(group, i, y);
        y += kRow;
    }
    double total = y;
    group->setFrame(QRectF(kInset, 0, width, y));
    View* cancel = nullptr;
    if (m_cancelIndex >= 0) {
        cancel = new View(QRectF(kInset, y + kGap, width, kRow), overlay);
        cancel->setBackgroundColor(Qt::white);
        cancel->setCornerRadius(4);
        cancel->setClipsToBounds(true);
        makeButton(cancel, m_cancelIndex, 0);
        total += kGap + kRow;
    }
    auto* sheet = new View(
        QRectF(0, overlay->bounds().height() - total - kInset, overlay->bounds().width(), total),
        overlay);
    sheet->addSubview(group);
    if (cancel) sheet->addSubview(cancel);
    m_sheet = sheet;
    window->updateAlertLayer();
}

void ActionSheet::showInView(View* view) {
    Q_UNUSED(view);
    show();
}

void ActionSheet::list(bool onScreen) {
    if (onScreen)
        AlertCenter::add(this);
    else
        AlertCenter::remove(this);
}

void ActionSheet::animateIn() {
    if (!m_sheet) return;
    const QRectF to = m_sheet->frame();
    m_sheet->setFrame(to.translated(0, to.height() + kInset));
    Animation::animateFrame(m_sheet, to, kSlide, Animation::Curve::EaseOut);
}

ChoicePanel::Exit ActionSheet::exitAnimation() {
    const QRectF from = m_sheet ? m_sheet->frame() : QRectF();
    return {kSlide, kSlideKey, [sheet = QPointer<View>(m_sheet), from](double t) {
                if (sheet) sheet->setFrame(from.translated(0, (from.height() + kInset) * t));
            }};
}

void ActionSheet::reportClicked(int index) {
    QPointer<ActionSheet> self(this);
    if (ActionSheetDelegate* d = m_delegate.get()) d->actionSheetClickedButtonAtIndex(this, index);
    if (!self || !m_callback) return;
    auto callback = m_callback;
    callback(this, index);
}

void ActionSheet::reportWillDismiss(int index) {
    if (ActionSheetDelegate* d = m_delegate.get())
        d->actionSheetWillDismissWithButtonIndex(this, index);
}

void ActionSheet::reportDidDismiss(int index) {
    if (ActionSheetDelegate* d = m_delegate.get())
        d->actionSheetDidDismissWithButtonIndex(this, index);
}

} // namespace ui
