#pragma once

#include "HttpProbe.h"
#include "tests/support/SandboxFixture.h"

#include <gtest/gtest.h>

// The "result" of a reply; -1 when it has none.
inline qint64 resultOf(const QJsonObject& reply) {
    return reply.value("result").toInteger(-1);
}

// A sandbox in the test process and a client to call its interfaces.
class SandboxTest : public ::testing::Test {
protected:
    HttpProbe::Result post(const QString& interfaceName, const HttpProbe::Fields& fields) {
        return http.post(server.interfaceUrl(interfaceName), HttpProbe::form(fields));
    }
    // The JSON reply of an interface that answered; empty when it did not.
    QJsonObject call(const QString& interfaceName, const HttpProbe::Fields& fields) {
        const HttpProbe::Result r = post(interfaceName, fields);
        EXPECT_TRUE(r.finished && r.error == QNetworkReply::NoError)
            << interfaceName.toStdString() << " status " << r.status;
        return r.json();
    }
    // The session of a successful "Login", or "" when it failed.
    QString login(const QString& number, const QString& password) {
        const QJsonObject reply = call("Login", {{"num", number},
                                                 {"pass", password},
                                                 {"channelid", "2"},
                                                 {"versionid", "1.0"},
                                                 {"imei", "device"},
                                                 {"network", "0"},
                                                 {"session", ""}});
        return reply.value("result").toInteger(-1) == 0 ? reply.value("session").toString()
                                                        : QString();
    }
    // An interface called with a fresh session of the line; "session" and "num" come first.
    QJsonObject as(const QString& number, const QString& interfaceName,
                   HttpProbe::Fields fields = {}) {
        fields.prepend({"num", number});
        fields.prepend({"session", server.signIn(number)});
        return call(interfaceName, fields);
    }
    // The same for the first demo subscriber.
    QJsonObject ask(const QString& interfaceName, const HttpProbe::Fields& fields = {}) {
        return as(SandboxFixture::demoNumber(), interfaceName, fields);
    }
    // "/sandbox/<endpoint>" of this sandbox.
    QUrl controlUrl(const QString& endpoint) const {
        return QUrl(server.baseAddress()).resolved(QUrl("/sandbox/" + endpoint));
    }

    SandboxFixture server;
    HttpProbe http;
};

// The client's encryption of a field, from the platform's primitives (not the sandbox's).
QString clientEncrypt(const QString& plain, const QString& nonce);
QString clientDecrypt(const QString& hex, const QString& nonce);
