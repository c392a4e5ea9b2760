// An operator page: resident memory of the client (the browser engine's helper processes
// included) before a page opens, while it is open and after it has closed; the time from
// pushing the page to its load finishing, on a sandbox page; and the time the first page takes
// to load the engine's module.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "app/core/tavrixConfig.h"
#include "platform/foundation/Contacts.h"
#include "platform/foundation/Directories.h"
#include "platform/ui/Animation.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/WebViewFake.h"
#include "platform/ui/WebViewModule.h"
#include "platform/ui/Window.h"
#include "screens/web/AddressBookHelper.h"
#include "screens/web/WebBridgeMessage.h"
#include "screens/web/WebViewController.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/Wait.h"

namespace {

// Resident kilobytes of a process and, recursively, of the processes it started.
qint64 residentKilobytesOfTree(pid_t root) {
    qint64 total = 0;
    QFile status(QStringLiteral("/proc/%1/status").arg(root));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                total += line.mid(6).trimmed().split(' ').value(0).toLongLong();
    const QStringList pids = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        bool isNumber = false;
        const pid_t child = pid_t(pid.toInt(&isNumber));
        if (!isNumber || child == root) continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = stat.readAll();
        // The parent id is the second field after the command name in parentheses.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.value(1).toInt() == root) total += residentKilobytesOfTree(child);
    }
    return total;
}

double residentMegabytes() {
    return double(residentKilobytesOfTree(getpid())) / 1024.0;
}

void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// Lets deferred deletions and the engine's clean-up run.
void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        waitUntil([] { return false; }, 100);
    }
}

void BM_WebPage_PushToLoadFinished(benchmark::State& state) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    const QtMessageHandler previous = qInstallMessageHandler(quietMessages);
    ui::ScopedInstantAnimations instant;
    SandboxFixture server;
    const QString url = server.baseAddress() +
                        "ulvek/handle.html?num=" + SandboxFixture::demoNumber() +
                        "&marketid=2010020140101001&type=3";
    ui::Window window;
    auto* nav = new ui::NavigationController(new ui::ViewController);
    window.setRootViewController(nav);
    window.makeKeyAndVisible();
    settle();
    const double before = residentMegabytes();
    // The engine's module is loaded by the first page; timed on its own, the pushes compare
    // with a client that loaded the engine at start.
    QElapsedTimer moduleTimer;
    moduleTimer.start();
    if (!ui::WebViewModule::shared().load()) state.SkipWithError("no web-engine module");
    state.counters["module_load_ms"] = double(moduleTimer.nsecsElapsed()) / 1e6;
    double open = 0;
    for (auto _ : state) {
        auto* page = qobject_cast<WebViewController*>(
            ui::Storyboard::instantiateViewController("Main", "WebViewController"));
        page->setRequestURL(url);
        page->setStrOfTitle("业务办理");
        QElapsedTimer timer;
        timer.start();
        nav->pushViewController(page, true);
        QSignalSpy loaded(page->myWebView(), &ui::WebView::loadFinished);
        if (!loaded.wait(30000)) state.SkipWithError("the page did not load");
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        open = std::max(open, residentMegabytes());
        nav->popViewControllerAnimated(false);
        settle();
        state.ResumeTiming();
    }
    settle();
    state.counters["rss_before_MB"] = before;
    state.counters["rss_open_MB"] = open;
    state.counters["rss_after_MB"] = residentMegabytes();
    qInstallMessageHandler(previous);
}
BENCHMARK(BM_WebPage_PushToLoadFinished)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

namespace {

// A large address book: 15,000 cards of two numbers each, about 2.4 MB of vCard.
QByteArray largeAddressBook() {
    QByteArray text;
    for (int i = 0; i < 15000; ++i)
        text +=
            QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:测试%1;联系人%1;;;\r\nFN:联系人%1\r\n"
                           "TEL;TYPE=CELL:+86 138-%2-%3\r\nTEL;TYPE=WORK:(010) 8888-%2\r\n"
                           "END:VCARD\r\n")
                .arg(i)
                .arg(i % 10000, 4, 10, QChar('0'))
                .arg(i, 4, 10, QChar('0'))
                .toUtf8();
    return text;
}

void BM_Contacts_ParseLargeVCard(benchmark::State& state) {
    const QByteArray text = largeAddressBook();
    for (auto _ : state)
        benchmark::DoNotOptimize(ns::ContactsStore::parseVCard(text));
    state.counters["vcard_MB"] = double(text.size()) / 1e6;
}
BENCHMARK(BM_Contacts_ParseLargeVCard)->Unit(benchmark::kMillisecond);

// The numbers cleaned and the page's answer written, as the bridge does for the whole book.
void BM_Contacts_AnswerScriptOfLargeBook(benchmark::State& state) {
    const QList<ns::Contact> contacts = ns::ContactsStore::parseVCard(largeAddressBook());
    qsizetype size = 0;
    for (auto _ : state) {
        QList<WebBridgeAnswer::Person> people;
        for (const ns::Contact& contact : contacts) {
            WebBridgeAnswer::Person person{AddressBookHelper::getNameWithPerson(contact), {}};
            for (int i = 0; i < contact.phones.size(); ++i)
                person.numbers.append(
                    AddressBookHelper::getPhoneNumberWithPhones(contact.phones, i));
            people.append(person);
        }
        size = WebBridgeAnswer::contactList("onContacts", people).toUtf8().size();
    }
    state.counters["script_MB"] = double(size) / 1e6;
}
BENCHMARK(BM_Contacts_AnswerScriptOfLargeBook)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// Resident and peak resident kilobytes of this process; the peak can be reset.
qint64 statusKilobytes(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

void resetPeakResident() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

// One hostile bridge call: the page hands an SMS body of the given size to the native side.
// Timed from the page's navigation to the screen drawn after it (the call and what it puts on
// screen); the peak memory the call added is reported beside it.
void BM_Bridge_SmsBodyOfSize(benchmark::State& state) {
    const QtMessageHandler previous = qInstallMessageHandler(quietMessages);
    ui::ScopedInstantAnimations instant;
    ui::WebViewFake::ScopedInstall fake;
    ui::MessageComposeViewController::setCanSendText(true);
    ui::Window window;
    auto* nav = new ui::NavigationController(new ui::ViewController);
    window.setRootViewController(nav);
    window.makeKeyAndVisible();
    auto* page = qobject_cast<WebViewController*>(
        ui::Storyboard::instantiateViewController("Main", "WebViewController"));
    // An operator page: only those reach the native side.
    page->setRequestURL(tavrixConfig::serverBaseAddress() + "ulvek/a.html");
    nav->pushViewController(page, false);
    auto* view = qobject_cast<ui::WebViewFake*>(page->myWebView());
    view->finishLoad(true);
    // Chinese text with spaces (kind 0) or one unbroken word (kind 1, the hardest to wrap),
    // percent-encoded in the address as the engine hands it over.
    QString body;
    const QString phrase = state.range(1) == 0 ? QStringLiteral("推荐你使用网上营业厅 随时查话费 ")
                                               : QStringLiteral("A");
    const qsizetype phraseBytes = phrase.toUtf8().size();
    for (qsizetype bytes = 0; bytes < state.range(0); bytes += phraseBytes)
        body += phrase;
    const QString json =
        QStringLiteral(R"({"function":"displaySMSComposerSheetWithPhone:","argument":"%1"})")
            .arg(body);
    const QUrl url(QStringLiteral("webkitpostnotification:") +
                   QString::fromLatin1(QUrl::toPercentEncoding(json)));
    settle();
    const double before = double(statusKilobytes("VmRSS:")) / 1024.0;
    double peak = 0;
    for (auto _ : state) {
        resetPeakResident();
        view->navigate(url);
        window.grab();
        state.PauseTiming();
        peak = std::max(peak, double(statusKilobytes("VmHWM:")) / 1024.0 - before);
        if (auto* composer = page->presentedViewController()) {
            Q_UNUSED(composer);
            page->dismissViewControllerAnimated(false);
        }
        settle();
        state.ResumeTiming();
    }
    state.counters["body_MB"] = double(body.toUtf8().size()) / 1e6;
    state.counters["url_MB"] = double(url.toEncoded().size()) / 1e6;
    state.counters["peak_added_MB"] = peak;
    qInstallMessageHandler(previous);
}
// The largest bodies a page may hand over (about 1,000 characters), then hostile ones.
BENCHMARK(BM_Bridge_SmsBodyOfSize)
    ->Args({2700, 0})
    ->Args({1000, 1})
    ->Args({200 * 1024, 0})
    ->Args({1536 * 1024, 0})
    ->Args({200 * 1024, 1})
    ->Args({1536 * 1024, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
