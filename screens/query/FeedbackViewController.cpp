#include "screens/query/FeedbackViewController.h"

#include "app/categories/Block.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"
#include "widgets/RRTextView.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

TAVRIX_REGISTER_SCENE("Main", "FeedbackViewController", FeedbackViewController);
TAVRIX_REGISTER_SEGUE("RootViewController", "RootViewToFeedback", Push, "Main",
                      "FeedbackViewController");

namespace {

constexpr QRectF kPhoneCaptionFrame(15, 12, 70, 24);
constexpr QRectF kPhoneFrame(85, 12, 220, 24);
constexpr QRectF kTypeButtonFrame(15, 44, 290, 36);
constexpr QRectF kTextFrame(15, 90, 290, 150);
constexpr QRectF kSubmitFrame(15, 256, 290, 44);

const QString kTitle = QStringLiteral("系统提示");

// "result" as a number: 0, 0.0, "0" and " 00" are zero; a missing, boolean or non-numeric
// value is not.
bool isZeroResult(const QVariant& result) {
    if (result.typeId() == QMetaType::Bool) return false;
    if (ns::Values::isNumber(result)) return ns::Values::doubleValue(result) == 0;
    if (!ns::Values::isString(result)) return false;
    bool numeric = false;
    const double value = result.toString().trimmed().toDouble(&numeric);
    return numeric && value == 0;
}

} // namespace

QStringList FeedbackViewController::categories() {
    return {QStringLiteral("产品建议"), QStringLiteral("使用建议"), QStringLiteral("功能建议"),
            QStringLiteral("缺陷反馈")};
}

FeedbackViewController::FeedbackViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("意见反馈"));
    setHidesBottomBarWhenPushed(true);
}

FeedbackViewController::~FeedbackViewController() = default;

void FeedbackViewController::loadView() {
    ViewController::loadView();
    ui::View* root = view();
    auto* caption = new ui::Label(kPhoneCaptionFrame, root);
    caption->setText(QStringLiteral("手机号码"));
    caption->setFont(ui::Font::systemFontOfSize(14));
    caption->setTextColor(QColor(120, 120, 120));
    m_labelOfPhoneNO = new ui::Label(kPhoneFrame, root);

    m_typeButton = new ui::Button(kTypeButtonFrame, root);
    m_typeButton->setTitle(QStringLiteral("请选择建议类型"));
    m_typeButton->setTitleColor(QColor(51, 51, 51));
    m_typeButton->setBackgroundColor(Qt::white);
    m_typeButton->setCornerRadius(4);
    m_typeButton->titleLabel()->setFont(ui::Font::systemFontOfSize(14));
    m_typeButton->addTarget(
        this, [this](ui::Control*) { typeButtonPressed(); }, ui::Control::TouchUpInside);

    m_RROfTextView = new RRTextView(kTextFrame, root);
    m_RROfTextView->setCornerRadius(4);
    m_editor = m_RROfTextView->editor();
    m_RROfTextView->editor()->installEventFilter(this);

    m_submitButton = new ui::Button(kSubmitFrame, root);
    m_submitButton->setTag(kSubmitTag);
    m_submitButton->setTitle(QStringLiteral("提交"));
    m_submitButton->setTitleColor(Qt::white);
    m_submitButton->setBackgroundColor(QColor(70, 140, 202));
    m_submitButton->setCornerRadius(4);
    m_submitButton->titleLabel()->setFont(ui::Font::systemFontOfSize(16));
    m_submitButton->addTarget(
        this, [this](ui::Control*) { clickTheSummitButton(); }, ui::Control::TouchUpInside);
}

void FeedbackViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_typeOfFeedback.clear();
    m_strOfFeedback.clear();
    m_labelOfPhoneNO->setFont(ui::Font::systemFontOfSize(14));
    m_labelOfPhoneNO->setText(PublicFunction::getConfigWithKey("username").toString());
    m_RROfTextView->setPlaceholder(QStringLiteral("  请在此输入反馈意见"));
}

bool FeedbackViewController::eventFilter(QObject* watched, QEvent* event) {
    // Compared by the editor alone: it may still send events while the text view around it is
    // being torn down.
    if (m_editor && watched == m_editor) {
        if (event->type() == QEvent::FocusIn) setFirstResponderView(m_RROfTextView);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_RROfTextView->editor()->clearFocus();
                return true;
            }
        }
    }
    return ViewController::eventFilter(watched, event);
}

void FeedbackViewController::typeButtonPressed() {
    auto* sheet = new ui::ActionSheet(QStringLiteral("请选择建议类型，以便我们分类处理"), this,
                                      QStringLiteral("取消"), QString(), categories());
    sheet->showInView(view());
    QPointer<ui::ActionSheet> shown(sheet);
    keepOverWindowWhileShown(sheet, [shown] {
        if (shown) shown->dismissWithClickedButtonIndex(shown->cancelButtonIndex(), false);
    });
}

void FeedbackViewController::actionSheetClickedButtonAtIndex(ui::ActionSheet* sheet,
                                                             int buttonIndex) {
    if (buttonIndex < 0 || buttonIndex >= int(categories().size())) return; // cancel
    m_typeOfFeedback = sheet->buttonTitleAtIndex(buttonIndex);
    m_typeButton->setTitle(m_typeOfFeedback);
}

void FeedbackViewController::clickTheSummitButton() {
    m_RROfTextView->editor()->clearFocus();
    m_strOfFeedback = m_RROfTextView->text().remove(QChar(' '));
    if (m_strOfFeedback.size() > kMaxLength) {
        PublicFunction::showAlert(kTitle, QStringLiteral("建议内容不能超过120字"));
        return;
    }
    if (m_strOfFeedback.isEmpty() ||
        m_strOfFeedback == QString(m_RROfTextView->placeholder()).remove(QChar(' '))) {
        PublicFunction::showAlert(kTitle, QStringLiteral("建议内容不能为空"));
        return;
    }
    if (m_typeOfFeedback.isEmpty()) {
        PublicFunction::showAlert(QString(), QStringLiteral("请选择建议类型"));
        return;
    }
    requestOfFeedbackSend();
}

void FeedbackViewController::requestOfFeedbackSend() {
    HTTPRequest* request = requestStartWithKey("FeedBack", true);
    if (!request) return;
    // The request layer form-encodes every value, so "&", "=" and "+" in the text arrive as typed.
    request->setPostValue(m_RROfTextView->text(), "content");
    request->setPostValue(m_typeOfFeedback, "type");
    request->setPostValue("", "star");
    request->setPostValue("ios", "channelid");
    request->setPostValue(PublicFunction::versionNumberOfAPP(), "versionid");
    request->setPostValue(PublicFunction::imeiOfDevice(), "imei");
    QPointer<FeedbackViewController> self(this);
    request->setCompletionHandler([self](const QVariant& reply) {
        if (!self) return;
        const QVariant accepted = self->requestFinishedBase(reply);
        if (accepted.isValid()) self->feedbackAnswered(accepted.toMap());
    });
    request->startRequest();
}

void FeedbackViewController::feedbackAnswered(const QVariantMap& reply) {
    // Only an explicit result 0 ("0" or 0) is a success; a reply that does not say is not.
    if (!isZeroResult(reply.value("result"))) {
        PublicFunction::showAlert(QString(), QStringLiteral("反馈失败"));
        return;
    }
    QPointer<FeedbackViewController> self(this);
    Block::alertWithTitle(
        QString(), QStringLiteral("反馈成功"),
        [self](int) {
            if (self && self->navigationController())
                self->navigationController()->popViewControllerAnimated(true);
        },
        QStringLiteral("确定"), QString())
        ->show();
}
