#include "screens/query/FAQViewController.h"

#include "platform/ui/Font.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TextView.h"
#include "platform/ui/View.h"

TAVRIX_REGISTER_SCENE("Main", "FAQViewController", FAQViewController);

namespace {
constexpr QRectF kTextFrame(10, 10, 300, 400);
} // namespace

QString FAQViewController::faqText() {
    return QStringLiteral(
        "1. 如何登录？\n"
        "使用手机号码和6位服务密码登录；在本网移动数据网络下可免密码登录。\n\n"
        "2. 忘记服务密码怎么办？\n"
        "在登录页点击“忘记密码”，按短信提示重置服务密码。\n\n"
        "3. 查询的话费和流量是实时的吗？\n"
        "话费和流量数据可能有延时，以月结账单为准。\n\n"
        "4. 登录短信提醒是什么？\n"
        "开启后，每次登录客户端都会收到一条短信提醒，保障账户安全。修改后需等待10秒才能再次修改。\n"
        "\n"
        "5. 如何反馈问题？\n"
        "在侧边菜单中选择“意见反馈”，选择建议类型并填写内容（不超过120字）后提交。");
}

FAQViewController::FAQViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("常见问题"));
    setHidesBottomBarWhenPushed(true);
}

void FAQViewController::loadView() {
    ViewController::loadView();
    m_textView = new ui::TextView(kTextFrame, view());
    m_textView->setEditable(false);
    m_textView->setFont(ui::Font::systemFontOfSize(14));
    m_textView->setText(faqText());
}

void FAQViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    // Down to 10 points above the bottom of what the bars leave.
    QRectF frame = m_textView->frame();
    frame.setHeight(heightBelowBars() - frame.y() - 10);
    m_textView->setFrame(frame);
}
