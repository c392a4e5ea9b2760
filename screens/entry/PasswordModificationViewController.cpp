#include "screens/entry/PasswordModificationViewController.h"

#include "app/categories/Block.h"
#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"

namespace {

// Rows of label and field, in points of the view below the navigation bar.
constexpr double kRowTop = 24;
constexpr double kRowHeight = 44;
constexpr double kRowGap = 10;

ui::TextField* makeRow(int row, const QString& caption, ui::View* parent) {
    const double y = kRowTop + row * (kRowHeight + kRowGap);
    auto* label = new ui::Label(QRectF(15, y, 90, kRowHeight), parent);
    label->setText(caption);
    label->setFont(ui::Font::systemFontOfSize(15));
    label->setTextColor(QColor(60, 60, 60));
    auto* field = new ui::TextField(QRectF(105, y, 200, kRowHeight), parent);
    field->setBackgroundColor(Qt::white);
    field->setBorderStyle(ui::TextField::BorderStyle::RoundedRect);
    field->setFont(ui::Font::systemFontOfSize(15));
    field->setSecureTextEntry(true);
    field->setKeyboardType(ui::TextField::KeyboardType::NumberPad);
    field->setPlaceholder(QStringLiteral("6位服务密码"));
    return field;
}

void showBlockAlert(const QString& message, Block::SelectBlock onPress) {
    Block::alertWithTitle(QStringLiteral(""), message, std::move(onPress), QStringLiteral("确认"),
                          QString())
        ->show();
}

} // namespace

PasswordModificationViewController::PasswordModificationViewController(QObject* parent)
    : ViewController(parent) {
    setTitle(QStringLiteral("修改密码"));
    setHidesBottomBarWhenPushed(true);
}

PasswordModificationViewController::~PasswordModificationViewController() = default;

void PasswordModificationViewController::loadView() {
    ViewController::loadView();
    m_oldPassword = makeRow(0, QStringLiteral("旧密码"), view());
    m_freshPassword = makeRow(1, QStringLiteral("新密码"), view());
    m_confirmFreshPassword = makeRow(2, QStringLiteral("确认新密码"), view());
    for (ui::TextField* field :
         {m_oldPassword.data(), m_freshPassword.data(), m_confirmFreshPassword.data()})
        field->setDelegate(this);
    m_confirmButton =
        new ui::Button(QRectF(15, kRowTop + 3 * (kRowHeight + kRowGap) + 10, 290, 44), view());
    m_confirmButton->setTitle(QStringLiteral("确认修改"));
    m_confirmButton->setTitleColor(Qt::white);
    m_confirmButton->titleLabel()->setFont(ui::Font::boldSystemFontOfSize(17));
    m_confirmButton->setBackgroundColor(TavrixApplicationSpecific::tavrix_blueColor());
    m_confirmButton->setCornerRadius(5);
    m_confirmButton->addAction(ui::Control::TouchUpInside, [this] { buttonPressed(); });
}

void PasswordModificationViewController::buttonPressed() {
    if (m_oldPassword->text().size() != kPasswordLength) {
        QPointer<ui::TextField> field = m_oldPassword;
        showBlockAlert(QStringLiteral("旧密码位数不正确"), [field](int) {
            if (field) field->becomeFirstResponder();
        });
        return;
    }
    if (m_freshPassword->text() == m_confirmFreshPassword->text()) {
        requestOfPasswordModificationSend();
        return;
    }
    showBlockAlert(QStringLiteral("两次新密码输入不一样"), [](int) {});
}

void PasswordModificationViewController::requestOfPasswordModificationSend() {
    HTTPRequest* request = requestStartWithKey("ChangePassword", true);
    const EncryptedPhoneNumber key = EncryptedPhoneNumber::forRequest();
    const QString fresh = m_freshPassword->text();
    request->setPostValue(key.nonce(), "nonce");
    request->setPostValue(key.encrypt(PublicFunction::getConfigWithKey("username").toString()),
                          "enc_phonenum");
    request->setPostValue(key.encrypt(m_oldPassword->text()), "enc_oldpassword");
    request->setPostValue(key.encrypt(fresh), "enc_newpassword");
    request->setCompletionHandler([this, fresh](const QVariant& reply) {
        if (!requestFinishedBase(reply).isValid()) return;
        // A kept password must follow the change, or the next automatic log-in would fail.
        if (tavrixConfig::isSavePwd() || tavrixConfig::isAutoLogin())
            PublicFunction::saveConfig(fresh, "password");
        QPointer<PasswordModificationViewController> self = this;
        showBlockAlert(QStringLiteral("修改密码成功"), [self](int) {
            if (self && self->navigationController())
                self->navigationController()->popViewControllerAnimated(true);
        });
    });
    request->startRequest();
}

bool PasswordModificationViewController::textFieldShouldBeginEditing(ui::TextField* field) {
    return textFieldShouldBeginEditingBase(field);
}

bool PasswordModificationViewController::textField(ui::TextField* field, ui::TextRange,
                                                   const QString& replacement) {
    return !(field->text().size() >= kPasswordLength && !replacement.isEmpty());
}

TAVRIX_REGISTER_SCENE("Main", "PasswordModificationViewController",
                      PasswordModificationViewController);
