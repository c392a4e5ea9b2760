#include "sandbox/WebPages.h"

#include "sandbox/Backend.h"
#include "sandbox/FormFields.h"
#include "sandbox/HttpAnswer.h"
#include "sandbox/SandboxCipher.h"

#include <QHttpServerRequest>
#include <QUrl>

namespace sandbox {

namespace {

// A 2 x 2 blue PNG: the picture pages hand to the share functions.
const QByteArray kSharePicture =
    QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAEElEQVR4nGNw6zkFRAwQCgA"
                           "rDgZxMXQUnAAAAABJRU5ErkJggg==");

QString escapeHtml(const QString& text) {
    return text.toHtmlEscaped();
}

// The bridge as pages use it: a navigation to the made-up scheme with the message as JSON.
const char* kBridgeScript = R"JS(
function callNative(fn, arg, cb) {
  var msg = {"function": fn, "argument": arg};
  if (cb) msg.callback = cb;
  window.location.href = "webkitpostnotification:" + encodeURIComponent(JSON.stringify(msg));
}
window.answers = {};
function answered(key) {
  return function (value) {
    window.answers[key] = value;
    var el = document.getElementById(key);
    if (el) el.textContent = value;
  };
}
var onVersion = answered("version");
var onPicked = answered("picked");
// A large address book is summed up: laying out megabytes of text stalls the page.
function onContacts(value) {
  window.answers.contacts = value;
  var count = (String(value).match(/numlist:/g) || []).length;
  document.getElementById("contacts").textContent =
      value.length > 400 ? count + "人: " + value.slice(0, 400) + "…" : value;
}
)JS";

QByteArray document(const QString& title, const QString& body) {
    return QStringLiteral(
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
               "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
               "<title>%1</title><style>body{font-family:sans-serif;margin:12px;font-size:14px}"
               "button{display:block;width:100%;margin:6px 0;padding:8px;font-size:14px}"
               ".answer{color:#2d9858;word-break:break-all}</style>"
               "<script>%2</script></head><body><h3>%1</h3>%3</body></html>")
        .arg(escapeHtml(title), QString::fromUtf8(kBridgeScript), body)
        .toUtf8();
}

QString button(const QString& id, const QString& label, const QString& call) {
    return QStringLiteral("<button id=\"%1\" onclick='%2'>%3</button>").arg(id, call, label);
}

// The subscriber's own page: who the address says it is, and whether it proves it.
HttpAnswer subscriberPage(const FormFields& query, Backend& backend, const QString& pageBase) {
    const QString number = query.contains("num") ? query.value("num") : query.value("phone");
    const QString nonce = query.value("nonce");
    const QString encpn = query.value("encpn");
    const auto session = backend.sessions().verify(query.value("session"), number);
    if (!session) {
        // The page's sign of an expired session: the client never loads this address.
        return HttpAnswer::html(
            document(QStringLiteral("会话已过期"),
                     QStringLiteral("<p id=\"state\">expired</p><script>window.location.href = "
                                    "\"%1session.html?result=9999\";</script>")
                         .arg(pageBase)),
            200);
    }
    QString proof = QStringLiteral("none");
    if (!encpn.isEmpty()) {
        const auto plain =
            SandboxCipher::decrypt(encpn, QString::fromLatin1(WebPages::kPageKeyPrefix) + nonce);
        proof = plain && *plain == number ? QStringLiteral("ok") : QStringLiteral("mismatch");
    }
    const auto subscriber = backend.subscribers().find(number);
    const QString body =
        QStringLiteral("<p>号码: <span id=\"number\">%1</span></p>"
                       "<p>姓名: <span id=\"name\">%2</span></p>"
                       "<p>加密号码校验: <span id=\"proof\">%3</span></p>"
                       "<p><a id=\"more\" href=\"%4handle.html?num=%1&type=3\">更多业务</a></p>")
            .arg(escapeHtml(number), escapeHtml(subscriber ? subscriber->name : QString()), proof,
                 pageBase);
    return HttpAnswer::html(document(QStringLiteral("我的业务"), body), 200);
}

HttpAnswer bridgePage() {
    // The answers first, where they are seen without scrolling.
    QString body = QStringLiteral("<p>选中: <span class=\"answer\" id=\"picked\"></span></p>"
                                  "<p>版本: <span class=\"answer\" id=\"version\"></span></p>"
                                  "<p>联系人: <span class=\"answer\" id=\"contacts\"></span></p>");
    body += button("call-version", "版本号",
                   "callNative(\"getVersionNumOfAPP:\", \"\", \"onVersion\")");
    body += button("call-contacts", "全部联系人",
                   "callNative(\"getAllPeoplesAddressInfo:\", \"\", \"onContacts\")");
    body +=
        button("call-picker", "选择联系人", "callNative(\"showAddressBook:\", \"\", \"onPicked\")");
    body += button("call-sms", "发短信",
                   "callNative(\"displaySMSComposerSheetWithPhone:\", \"推荐你使用网上营业厅\")");
    body += button("call-talvo", "分享给好友",
                   "callNative(\"showTVFriendsView:\", \"网上营业厅&&&\" + location.origin + "
                   "\"/pelvo/ulvek/images/share.png&&&随时查话费&&&\" + location.href)");
    body += button("call-talvo-circle", "分享到朋友圈",
                   "callNative(\"showTVFriendCircleView:\", \"网上营业厅&&&&&&随时查话费\")");
    body += button("call-mireb", "分享到微语",
                   "callNative(\"mirebShareButtonPressed:\", \"随时查话费&\" + location.origin + "
                   "\"/pelvo/ulvek/images/share.png\")");
    body += button("call-module", "修改密码",
                   "callNative(\"pushToFunctionModuleVC:\", "
                   "\"Main&PasswordModificationViewController\")");
    // What each function does, so the last one sits below the first screenful.
    body += QStringLiteral(
        "<h4>说明</h4><ol id=\"notes\"><li>版本号: 本应用的版本</li>"
        "<li>全部联系人: 通讯录里每个人的姓名和号码</li><li>选择联系人: 选一个号码</li>"
        "<li>发短信: 写好内容的短信, 不填收件人</li><li>分享给好友: 塔沃聊天, 带图片</li>"
        "<li>分享到朋友圈: 塔沃朋友圈, 不带图片</li><li>分享到微语: 文字和图片</li>"
        "<li>修改密码: 打开本应用的修改密码页面</li>"
        "<li>去查询: 切换到查询页, 本页关闭</li></ol>");
    body += button("call-tab", "去查询", "callNative(\"pushToTabbarViewController:\", \"1\")");
    return HttpAnswer::html(document(QStringLiteral("页面功能"), body), 200);
}

// A service page (handle.html, optional.html, broadband...) or any other page path.
HttpAnswer servicePage(const QString& path, const FormFields& query, const QString& pageBase) {
    const QString body =
        QStringLiteral("<p>页面: <span id=\"path\">%1</span></p>"
                       "<p>业务: <span id=\"marketid\">%2</span></p>"
                       "<p><a id=\"subscriber\" href=\"%3chongdingxiang/index.html?num=%4\">"
                       "我的业务</a></p><p><a id=\"bridge\" href=\"%3bridge.html\">页面功能</a></p>"
                       "<p><a id=\"expired\" href=\"%3session.html?result=9999\">重新登录</a></p>")
            .arg(escapeHtml(path), escapeHtml(query.value("marketid")), pageBase,
                 escapeHtml(query.value("num")));
    return HttpAnswer::html(document(QStringLiteral("业务办理"), body), 200);
}

} // namespace

bool WebPages::handle(const QHttpServerRequest& request, Backend& backend, QTcpSocket* socket) {
    const QUrl url = request.url();
    const QString path = url.path();
    if (!path.startsWith(QLatin1String(kPrefix))) return false;
    const QString pageBase =
        QStringLiteral("http://%1:%2%3").arg(url.host()).arg(url.port()).arg(kPrefix);
    page(path.mid(qsizetype(strlen(kPrefix))), url.query(QUrl::FullyEncoded), backend, pageBase)
        .sendTo(socket);
    return true;
}

HttpAnswer WebPages::page(const QString& path, const QString& query, Backend& backend,
                          const QString& pageBase) {
    const FormFields fields = FormFields::parse(query.toUtf8());
    if (path == QLatin1String("images/share.png")) return {200, "image/png", kSharePicture};
    if (path.startsWith(QLatin1String("chongdingxiang/")))
        return subscriberPage(fields, backend, pageBase);
    if (path == QLatin1String("bridge.html")) return bridgePage();
    return servicePage(path, fields, pageBase);
}

} // namespace sandbox
