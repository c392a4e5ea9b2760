#include "QueryHarness.h"

#include "platform/foundation/UrlOpener.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextView.h"
#include "sandbox/VersionCheckInterface.h"
#include "screens/query/AboutMeViewController.h"
#include "screens/query/FAQViewController.h"
#include "screens/query/FeedbackViewController.h"
#include "tests/support/ScriptedServer.h"
#include "widgets/OverlayHUD.h"
#include "widgets/RRTextView.h"

#include <QPlainTextEdit>

namespace {

using namespace query_test;

class FeedbackTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        screen = show<FeedbackViewController>("FeedbackViewController", true);
        ASSERT_NE(screen, nullptr);
    }
    QPlainTextEdit* editor() const { return screen->RROfTextView()->editor(); }
    // Clicks into the text and types: Latin key by key, Chinese as the input method commits it.
    void type(const QString& text) {
        click(screen->RROfTextView());
        ASSERT_TRUE(editor()->hasFocus());
        QString run;
        bool latin = true;
        auto flush = [&] {
            if (run.isEmpty()) return;
            if (latin)
                windowinput::type(run);
            else
                windowinput::commit(run);
            run.clear();
        };
        for (const QChar ch : text) {
            const bool isLatin = ch.unicode() < 0x80;
            if (isLatin != latin) flush();
            latin = isLatin;
            run += ch;
        }
        flush();
    }
    void chooseCategory(const QString& category) {
        click(screen->typeButton());
        ui::ActionSheet* sheet = ui::AlertCenter::topActionSheet();
        ASSERT_NE(sheet, nullptr);
        clickTitled(sheet->sheetView(), category);
        settle();
    }
    void submit() {
        click(screen->submitButton());
        settle();
    }

    QPointer<FeedbackViewController> screen;
};

TEST_F(FeedbackTest, TheCategorySheetSetsTheCategoryAndCancelKeepsIt) {
    click(screen->typeButton());
    ui::ActionSheet* sheet = ui::AlertCenter::topActionSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->title(), "请选择建议类型，以便我们分类处理");
    QStringList titles;
    for (int i = 0; i < sheet->numberOfButtons(); ++i)
        titles << sheet->buttonTitleAtIndex(i);
    EXPECT_EQ(titles, (QStringList{"产品建议", "使用建议", "功能建议", "缺陷反馈", "取消"}));
    clickTitled(sheet->sheetView(), "功能建议");
    settle();
    EXPECT_EQ(screen->typeOfFeedback(), "功能建议");
    EXPECT_EQ(screen->typeButton()->currentTitle(), "功能建议");

    chooseCategory("取消");
    EXPECT_EQ(screen->typeOfFeedback(), "功能建议");
    EXPECT_EQ(screen->typeButton()->currentTitle(), "功能建议");
}

TEST_F(FeedbackTest, RefusedTextsAlertAndSendNothing) {
    const QString hundredTwenty(120, QChar(0x597D));
    const struct {
        QString text;
        bool category;
        const char* title;
        const char* message; // empty: sent
        const char* answer;  // the alert after sending
    } cases[] = {
        {QString(121, 'a'), true, "系统提示", "建议内容不能超过120字", ""},
        {"     ", true, "系统提示", "建议内容不能为空", ""},
        {"", true, "系统提示", "建议内容不能为空", ""},
        {"挺好", false, "", "请选择建议类型", ""},
        {" " + hundredTwenty.left(60) + "   " + hundredTwenty.left(60) + " ", true, "", "",
         "反馈成功"},
        // 120 characters pass here once the blanks are gone; the server counts them all.
        {hundredTwenty + QString(400, ' '), true, "", "", "反馈内容不能超过500字"},
    };
    auto stored = [&](const QString& text) {
        return sandbox.server()
            .backend()
            .database()
            .scalar("SELECT COUNT(*) FROM feedback WHERE content = ?", {text})
            .toInt();
    };
    for (const auto& c : cases) {
        screen = show<FeedbackViewController>("FeedbackViewController");
        screen->RROfTextView()->setText(c.text);
        if (c.category) chooseCategory("缺陷反馈");
        sandbox.clearRequests();
        submit();
        if (QByteArray(c.message).isEmpty()) {
            ASSERT_TRUE(sandbox.waitForRequests(1));
            EXPECT_EQ(sandbox.requests().first().fields.value("content"), c.text);
            ASSERT_TRUE(waitForAlert());
            EXPECT_EQ(topAlertMessage(), c.answer);
            EXPECT_EQ(stored(c.text), QByteArray(c.answer) == "反馈成功" ? 1 : 0);
            ui::AlertCenter::dismissAll();
            continue;
        }
        EXPECT_EQ(shownAlert(), QString("%1|%2|确定").arg(c.title, c.message));
        ui::AlertCenter::dismissAll();
        EXPECT_TRUE(sandbox.requests().isEmpty()) << c.message;
        EXPECT_EQ(screen->RROfTextView()->text(), c.text); // the text stays
    }
}

TEST_F(FeedbackTest, TypedFeedbackIsSentAsTypedAndStored) {
    EXPECT_EQ(screen->labelOfPhoneNO()->text(), "13800000001");
    EXPECT_EQ(screen->RROfTextView()->placeholder(), "  请在此输入反馈意见");
    EXPECT_TRUE(screen->RROfTextView()->isShowingPlaceholder());
    EXPECT_TRUE(screen->typeOfFeedback().isEmpty());
    const QString text = "很好用 a&b=c+d 100% 满意";
    type(text);
    EXPECT_EQ(screen->RROfTextView()->text(), text);
    // The return key ends editing instead of adding a line.
    windowinput::key(Qt::Key_Return);
    EXPECT_FALSE(editor()->hasFocus());
    EXPECT_EQ(screen->RROfTextView()->text(), text);
    chooseCategory("产品建议");
    submit();

    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(topAlertMessage(), "反馈成功");
    ASSERT_EQ(sandbox.requestsTo("FeedBack").size(), 1);
    const auto request = sandbox.requestsTo("FeedBack").first();
    EXPECT_EQ(fieldKeys(request), (QStringList{"session", "num", "content", "type", "star",
                                               "channelid", "versionid", "imei"}));
    const QStringList values{text,
                             "产品建议",
                             "",
                             "ios",
                             PublicFunction::versionNumberOfAPP(),
                             PublicFunction::getUUIDOfDevice()};
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(request.fields.value(fieldKeys(request).value(i + 2)), values[i]) << i;
    EXPECT_TRUE(request.body.contains("a%26b%3Dc%2Bd"));
    EXPECT_EQ(sandbox.server()
                  .backend()
                  .database()
                  .scalar("SELECT content FROM feedback WHERE number = '13800000001'")
                  .toString(),
              text);

    clickAlertButton("确定");
    EXPECT_EQ(nav->viewControllers().size(), 1); // the screen went back
    EXPECT_NE(top(), screen.data());
}

TEST_F(FeedbackTest, OnlyAnExplicitResultZeroIsASuccess) {
    ScriptedServer scripted;
    tavrixConfig::setServerBaseAddress(scripted.baseAddress());
    const struct {
        const char* reply;
        const char* message;
    } cases[] = {
        {R"({"result":0})", "反馈成功"},
        {R"({"result":"0","msg":""})", "反馈成功"},
        {R"({"result":0.0})", "反馈成功"},
        {R"({"msg":"ok"})", "反馈失败"},
        {R"({"result":null})", "反馈失败"},
        {R"({"result":false})", "反馈失败"},
        {R"({"result":"zero"})", "反馈失败"},
        {R"({"result":5,"msg":"内容不合规"})", "内容不合规"},
        {R"({"result":9999,"msg":"登录已超时"})", "登录已超时"},
        {R"([0])", "请求超时"},
    };
    screen->RROfTextView()->setText("建议");
    chooseCategory("使用建议");
    for (const auto& c : cases) {
        scripted.enqueue(ScriptedServer::json(c.reply));
        submit();
        ASSERT_TRUE(waitForAlert()) << c.reply;
        EXPECT_EQ(topAlertMessage(), c.message) << c.reply;
        ui::AlertCenter::dismissAll();
        letOverlayGo();
        ASSERT_NE(screen, nullptr);
        screen->setAlertViewIsshow(false);
    }
}

class AboutTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        ns::UrlOpener::setHandler([this](const QUrl& url) {
            opened << url.toString();
            return desktopTakes;
        });
        screen = show<AboutMeViewController>("AboutMeViewController");
        ASSERT_NE(screen, nullptr);
    }
    void TearDown() override {
        ns::UrlOpener::setHandler({});
        ScreenHarness::TearDown();
    }
    void check() {
        click(screen->checkButton());
        ASSERT_TRUE(waitForAlert());
        letOverlayGo();
    }
    QPointer<AboutMeViewController> screen;
    QStringList opened;
    bool desktopTakes = true;
};

TEST_F(AboutTest, ShowsTheVersionAndSaysWhenItIsTheLatest) {
    EXPECT_EQ(screen->versionID()->text(), "版本号：" + PublicFunction::versionNumberOfAPP());
    check();
    EXPECT_EQ(shownAlert(), "升级提示|当前版本已是最新版本|确定");
    const auto request = sandbox.requestsTo("VersionCheck").first();
    EXPECT_EQ(fieldKeys(request), (QStringList{"session", "num", "type", "appversion"}));
    EXPECT_EQ(request.fields.value("type"), "2");
    EXPECT_EQ(request.fields.value("appversion"), "2015020601");
}

TEST_F(AboutTest, TheUpdateAlertOpensOnlyAWebAddress) {
    const struct {
        const char* url;
        const char* button;
        bool opens;
        bool desktopTakes; // whether the desktop opens what it is handed
    } cases[] = {
        {"http://127.0.0.1:8080/pelvo/app.apk", "确认", true, true},
        {"https://example.org/tavrix.deb", "确认", true, true},
        {"https://example.org/tavrix.deb", "确认", true, false},
        {"http://127.0.0.1:8080/pelvo/app.apk", "取消", false, true},
        {"", "确认", false, true},
        {"   ", "确认", false, true},
        {"javascript:alert(1)", "确认", false, true},
        {"file:///etc/passwd", "确认", false, true},
        {"kelvamor://Main&FeedbackViewController", "确认", false, true},
        {"http://", "确认", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.url) + " " + c.button);
        ASSERT_TRUE(sandbox::VersionCheckInterface::setRelease(sandbox.server().backend(), "2",
                                                               2015030101, "修复若干问题", c.url));
        opened.clear();
        desktopTakes = c.desktopTakes;
        check();
        EXPECT_EQ(shownAlert(), "升级提示|修复若干问题|取消,确认");
        EXPECT_EQ(screen->versionUrl(), c.url);
        clickAlertButton(c.button);
        EXPECT_EQ(ui::AlertCenter::topAlert(), nullptr);
        EXPECT_EQ(opened, c.opens ? QStringList{QString::fromUtf8(c.url)} : QStringList());
        // Confirmed but not opened: the subscriber is told, briefly.
        const bool told = QString(c.button) == "确认" && !(c.opens && c.desktopTakes);
        OverlayHUD* hud = OverlayHUD::HUDForView(screen->view());
        EXPECT_EQ(hud ? hud->detailsLabelText() : QString(), told ? "无法打开此链接" : "");
        letOverlayGo();
    }
}

TEST_F(AboutTest, TheNetworkFailureAlertOpensNothing) {
    tavrixConfig::setServerBaseAddress("http://127.0.0.1:1/pelvo/");
    check();
    clickAlertButton("确认");
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(ScreenHarness, TheQuestionsFillTheScreenAboveItsBottom) {
    auto* faq = show<FAQViewController>("FAQViewController");
    ASSERT_NE(faq, nullptr);
    EXPECT_LE(faq->textView()->frame().bottom(), faq->view()->frame().height());
    EXPECT_FALSE(faq->textView()->text().isEmpty());
    EXPECT_FALSE(faq->textView()->isEditable());
}

} // namespace
