// What sending a request at most once costs: the same form POST and JSON reply on loopback,
// pooled (the connection is reused) against at most once (a connection of its own each time).

#include <QEventLoop>
#include <benchmark/benchmark.h>

#include "app/core/HTTPRequest.h"
#include "tests/support/ScriptedServer.h"

namespace {

void BM_MoneyRequest(benchmark::State& state) {
    static ScriptedServer* server = [] {
        auto* s = new ScriptedServer;
        s->setFallback(ScriptedServer::json(R"({"result":0,"msg":"","url":"http://127.0.0.1/p"})"));
        return s;
    }();
    const QUrl url = server->url("/pelvo/Payment.do");
    const bool atMostOnce = state.range(0) != 0;
    for (auto _ : state) {
        QEventLoop loop;
        QVariant got;
        auto* r = HTTPRequest::requestWithURL(url, 30);
        r->setPostValue("7f3a9c", "session");
        r->setPostValue("13800000001", "num");
        r->setPostValue("50", "amount");
        r->setAtMostOnce(atMostOnce);
        r->setCompletionHandler([&](const QVariant& reply) {
            got = reply;
            loop.quit();
        });
        r->setFailureHandler([&](const HTTPError&) { loop.quit(); });
        r->startRequest();
        loop.exec();
        benchmark::DoNotOptimize(got);
    }
}
// Arg 0: pooled; 1: at most once.
BENCHMARK(BM_MoneyRequest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
