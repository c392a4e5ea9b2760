#include "screens/query/SettingViewController.h"

#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"
#include "screens/query/OperatorPages.h"
#include "widgets/NumberJump.h"
#include "widgets/TextLayer.h"

TAVRIX_REGISTER_SCENE("Main", "SettingViewController", SettingViewController);
TAVRIX_REGISTER_SEGUE("RootViewController", "RootViewToSetting", Push, "Main",
                      "SettingViewController");
TAVRIX_REGISTER_SEGUE("SettingViewController", "SettingViewToPassword", Push, "Main",
                      "PasswordModificationViewController");
TAVRIX_REGISTER_SEGUE("SettingViewController", "SettingViewToAbout", Push, "Main",
                      "AboutMeViewController");
TAVRIX_REGISTER_SEGUE("SettingViewController", "SettingViewToFAQ", Push, "Main",
                      "FAQViewController");

namespace {

constexpr QRectF kSwitchRowFrame(0, 10, 320, 50);
constexpr QRectF kSwitchCaptionFrame(15, 0, 200, 50);
constexpr QRectF kReminderFrame(15, 62, 290, 20);
constexpr double kEntriesTop = 92;
constexpr double kEntryHeight = 44;
constexpr double kEntryGap = 8;

struct Entry {
    int tag;
    const char* title;
    const char* segue;
};
constexpr Entry kEntries[] = {
    {SettingViewController::kPasswordTag, "修改密码", "SettingViewToPassword"},
    {SettingViewController::kAboutTag, "关于我们", "SettingViewToAbout"},
    {SettingViewController::kFAQTag, "常见问题", "SettingViewToFAQ"},
};

const QString kOn = QStringLiteral("1");
const QString kOff = QStringLiteral("0");

} // namespace

QString SettingViewController::keyForNumber(const QString& phone) {
    return QStringLiteral("LoginSMS") + phone;
}

SettingViewController::SettingViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("设置"));
    setHidesBottomBarWhenPushed(true);
}

SettingViewController::~SettingViewController() = default;

void SettingViewController::loadView() {
    ViewController::loadView();
    ui::View* root = view();
    m_viewOfSwitch = new ui::View(kSwitchRowFrame, root);
    m_viewOfSwitch->setBackgroundColor(Qt::white);
    auto* caption = new ui::Label(kSwitchCaptionFrame, m_viewOfSwitch);
    caption->setText(QStringLiteral("登录短信提醒"));
    caption->setFont(ui::Font::systemFontOfSize(15));

    const QSizeF size = ui::Switch::defaultSize();
    const QRectF switchFrame(kSwitchRowFrame.width() - size.width() - 15,
                             (kSwitchRowFrame.height() - size.height()) / 2, size.width(),
                             size.height());
    m_switchOfLoginSMS = new ui::Switch(switchFrame, m_viewOfSwitch);
    m_switchOfLoginSMS->setOn(true); // the scene's state until a stored value says otherwise
    m_switchOfLoginSMS->addTarget(
        this, [this](ui::Control*) { switchButtonPressed(); }, ui::Control::ValueChanged);
    // Lies over the locked switch, so a tap there explains the lock instead of flipping it.
    m_viewAboveSwitch = new ui::View(switchFrame, m_viewOfSwitch);
    m_viewAboveSwitch->setHidden(true);
    auto* tap = new ui::TapGestureRecognizer(m_viewAboveSwitch);
    tap->addTarget(this, [this](ui::GestureRecognizer*) { tapSwitchButton(); });
    m_viewAboveSwitch->addGestureRecognizer(tap);

    m_labelOfReminder = new ui::Label(kReminderFrame, root);
    m_labelOfReminder->setText(QStringLiteral("设置已提交，请10秒后再修改"));
    m_labelOfReminder->setFont(ui::Font::systemFontOfSize(12));
    m_labelOfReminder->setTextColor(QColor(202, 86, 68));
    m_labelOfReminder->setHidden(true);

    double y = kEntriesTop;
    for (const Entry& entry : kEntries) {
        const QString segue = QString::fromLatin1(entry.segue);
        OperatorPages::entryButton(
            root, QRectF(0, y, 320, kEntryHeight), entry.tag, QString::fromUtf8(entry.title),
            [this, segue](ui::Button* sender) { performSegueWithIdentifier(segue, sender); });
        y += kEntryHeight + kEntryGap;
    }
}

void SettingViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_key = keyForNumber(PublicFunction::getConfigWithKey("username").toString());
    const QString stored = ns::Values::stringValue(PublicFunction::getConfigWithKey(m_key));
    if (PublicFunction::isEmpty(stored) || stored == kOn)
        m_switchOfLoginSMS->setOn(true);
    else if (stored == kOff)
        m_switchOfLoginSMS->setOn(false);
    if (!PublicFunction::isIOS7OrLater()) {
        // The older, wider switch sits further left, centred in its row; the cover and the
        // reminder follow it.
        QRectF frame = m_switchOfLoginSMS->frame();
        frame.moveTo(222, (m_viewOfSwitch->frame().height() - frame.height()) / 2);
        m_switchOfLoginSMS->setFrame(frame);
        m_viewAboveSwitch->setFrame(frame);
        m_labelOfReminder->setFrame(m_labelOfReminder->frame().translated(-10, 0));
    }
    requestOfLoginSMSSend();
}

ui::Button* SettingViewController::buttonWithTag(int tag) const {
    return OperatorPages::buttonWithTag(this, tag);
}

void SettingViewController::requestOfLoginSMSSend() {
    HTTPRequest* request = requestStartWithKey("LoginSMS", false);
    if (!request) return;
    request->setPostValue("0", "action");
    m_requestOfLoginSMS = m_queryRequest = request;
    QPointer<SettingViewController> self(this);
    request->setCompletionHandler([self](const QVariant& reply) {
        if (!self) return;
        const QVariant accepted = self->requestFinishedBase(reply);
        if (!accepted.isValid()) return;
        self->m_notify = ns::Values::stringValue(accepted.toMap().value("notify"));
        if (self->m_notify == kOff)
            self->m_switchOfLoginSMS->setOn(false, true);
        else if (self->m_notify == kOn)
            self->m_switchOfLoginSMS->setOn(true, true);
    });
    request->startRequest();
}

void SettingViewController::requestOfSetLonginSMSSend() {
    const bool on = m_switchOfLoginSMS->isOn();
    // The user has decided: an older reading must not flip the switch back under them.
    if (m_queryRequest) m_queryRequest->cancleRequest();
    if (!m_before) m_before = Before{!on, m_notify, PublicFunction::getConfigWithKey(m_key)};
    if (m_changeRequest) m_changeRequest->cancleRequest();

    HTTPRequest* request = requestStartWithKey("LoginSMS", false);
    if (!request) return;
    const QString choice = on ? kOn : kOff;
    request->setPostValue("1", "action");
    request->setPostValue(choice, "notify");
    m_requestOfLoginSMS = m_changeRequest = request;
    m_notify = choice;
    PublicFunction::saveConfig(choice, m_key);

    QPointer<SettingViewController> self(this);
    request->setCompletionHandler([self](const QVariant& reply) {
        if (!self) return;
        if (self->requestFinishedBase(reply).isValid())
            self->changeConfirmed();
        else
            self->changeFailed();
    });
    request->setFailureHandler([self](const HTTPError& error) {
        if (!self) return;
        self->commonFailureHandler(error);
        self->changeFailed();
    });
    request->startRequest();
}

void SettingViewController::changeConfirmed() {
    m_before.reset();
}

void SettingViewController::changeFailed() {
    if (!m_before) return;
    const Before before = *m_before;
    m_before.reset();
    m_switchOfLoginSMS->setOn(before.on, true);
    m_notify = before.notify;
    if (before.stored.isValid())
        PublicFunction::saveConfig(before.stored, m_key);
    else
        PublicFunction::removeConfigWithKey(m_key);
}

void SettingViewController::switchButtonPressed() {
    requestOfSetLonginSMSSend();
    m_switchOfLoginSMS->setEnabled(false);
    m_viewAboveSwitch->setHidden(false);
    configurationTextLayer();
    NumberJump::jumpNumberWithDuration(m_textLayer, int(kLockMs / 1000), 10, 0);
    m_unlock.start(kLockMs, this, [this] {
        delete m_textLayer.data();
        m_switchOfLoginSMS->setEnabled(true);
        m_labelOfReminder->setHidden(true);
        m_viewAboveSwitch->setHidden(true);
    });
}

void SettingViewController::tapSwitchButton() {
    m_labelOfReminder->setAlpha(0);
    m_labelOfReminder->setHidden(false);
    ui::Animation::animateAlpha(m_labelOfReminder, 1, 1.0);
    m_reminderHide.start(kReminderMs, this, [this] {
        ui::Animation::animateAlpha(m_labelOfReminder, 0, 1.0, ui::Animation::Curve::EaseInOut,
                                    [this](bool) {
                                        m_labelOfReminder->setHidden(true);
                                        m_labelOfReminder->setAlpha(1);
                                    });
    });
}

void SettingViewController::configurationTextLayer() {
    delete m_textLayer.data();
    const QRectF switchFrame = m_switchOfLoginSMS->frame();
    const double width = switchFrame.width() / 2;
    // On the knob: right half when on, left when off (the older switch's knob lies further out).
    const bool newer = PublicFunction::isIOS7OrLater();
    const double x = m_switchOfLoginSMS->isOn() ? width + (newer ? -3 : 4) : (newer ? 3 : -6);
    m_textLayer = new TextLayer(m_viewAboveSwitch);
    m_textLayer->setFrame(QRectF(x, newer ? 6 : 4, width, switchFrame.height()));
    m_textLayer->setString(QStringLiteral("10"));
    m_textLayer->setFontSize(15);
    m_textLayer->setForegroundColor(Qt::black);
    m_textLayer->setAlignmentMode(QStringLiteral("center"));
    m_textLayer->setContentsScale(2.0);
}
