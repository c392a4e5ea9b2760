// The address book: reading cards, cleaning numbers, picking a person, the permission.

#include "tests/screens/web/web_support.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Button.h"

#include <QTemporaryDir>

namespace {

using ns::Contact;
using PickerTest = web::PageFixture;
using ns::ContactsStore;

TEST(VCard, readsBothVersionsFoldingAndSeveralNumbers) {
    struct Case {
        const char* name;
        QByteArray text;
        QList<Contact> expected;
    };
    const Case cases[] = {
        {"3.0 with two numbers, CRLF",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:张;三;;;\r\nFN:张三\r\n"
         "TEL;TYPE=CELL:+86 138-0000-0001\r\nTEL;TYPE=WORK:(010) 8888-6666\r\nEND:VCARD\r\n",
         {{"三", "张", {"+86 138-0000-0001", "(010) 8888-6666"}}}},
        {"4.0 tel: addresses and a folded name",
         "BEGIN:VCARD\nVERSION:4.0\nN:Lo\n "
         "ngname;Ann;;;\nTEL;VALUE=uri;TYPE=\"voice,cell\":tel:+86-139"
         "\n 0000 0002\nEND:VCARD\n",
         {{"Ann", "Longname", {"+86-1390000 0002"}}}},
        {"grouped property, escapes, no number",
         "BEGIN:VCARD\nVERSION:3.0\nN:O\\;Brien;Pat\\, Jr;;;\nitem1.TEL:16540\nEND:VCARD\n"
         "BEGIN:VCARD\nVERSION:3.0\nFN:只有显示名\nEND:VCARD\n",
         {{"Pat, Jr", "O;Brien", {"16540"}}, {"只有显示名", "", {}}}},
        {"lower-case keywords, tab folding",
         "begin:vcard\nversion:3.0\nn:Li;\n\tSi;;;\ntel:123\nend:vcard\n",
         {{"Si", "Li", {"123"}}}},
        // Broken input: lines outside cards, a card never closed, binary noise.
        {"garbage", QByteArray("\xff\xfe\x00garbage\nTEL:1\nBEGIN:VCARD\nN:A;B\n", 28), {}},
        {"empty", "", {}},
        {"unclosed card after a good one",
         "BEGIN:VCARD\nN:A;B;;;\nTEL:1\nEND:VCARD\nBEGIN:VCARD\nN:C;D\nTEL:2\n",
         {{"B", "A", {"1"}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<Contact> got = ContactsStore::parseVCard(c.text);
        ASSERT_EQ(got.size(), c.expected.size());
        for (qsizetype i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].firstName, c.expected[i].firstName);
            EXPECT_EQ(got[i].lastName, c.expected[i].lastName);
            EXPECT_EQ(got[i].phones, c.expected[i].phones);
        }
    }
}

TEST(VCard, missingOrOversizedFileHoldsNobody) {
    QTemporaryDir dir;
    EXPECT_TRUE(ContactsStore::allContacts(dir.filePath("none.vcf")).isEmpty());
    EXPECT_TRUE(ContactsStore::allContacts(dir.path()).isEmpty()); // a directory
    QFile big(dir.filePath("big.vcf"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    const QByteArray card = "BEGIN:VCARD\nN:A;B\nTEL:1\nEND:VCARD\n";
    big.write(card);
    big.resize(17 * 1024 * 1024);
    big.close();
    EXPECT_TRUE(ContactsStore::allContacts(big.fileName()).isEmpty());
}

TEST(AddressBookHelper, cleansNumbersAndNames) {
    const std::pair<QString, QString> numbers[] = {
        {"+86 138-0000-0001", "13800000001"},
        {"(010) 8888-6666", "01088886666"},
        {"+86(021)5555", "0215555"}, // the ")" goes; the "(" only where it ends up at an end
        {"tel 16540 ext", "16540"},
        {"ext.", ""},
        {"", ""},
    };
    for (const auto& [raw, clean] : numbers)
        EXPECT_EQ(AddressBookHelper::getPhoneNumberWithPhones({raw}, 0), clean)
            << raw.toStdString();
    // Out of range (a person without numbers): an empty number.
    EXPECT_EQ(AddressBookHelper::getPhoneNumberWithPhones({}, 0), "");
    EXPECT_EQ(AddressBookHelper::getPhoneNumberWithPhones({"1"}, -1), "");
    EXPECT_EQ(AddressBookHelper::getNameWithPerson({"三", "张", {}}), "张三");
    EXPECT_EQ(AddressBookHelper::getNameWithPerson({"Ann", "", {}}), "Ann");
    EXPECT_EQ(AddressBookHelper::getNameWithPerson({"", "Lee", {}}), "Lee");
}

TEST_F(PickerTest, takesOneTouchForOneNumberTheCardForSeveral) {
    struct Case {
        const char* name;
        QList<int> rows; // rows tapped in order (list, then card)
        bool cancel;
        QList<QPair<QString, QString>> expected;
    };
    // The sample: 张三 (two numbers), Ann Lee (one), 只有邮箱 (none).
    const Case cases[] = {
        {"one number", {1}, false, {{"LeeAnn", "13900000002"}}},
        {"card, second number", {0, 1}, false, {{"张三", "01088886666"}}},
        {"no number gives an empty one", {2}, false, {{"只有邮箱", ""}}},
        {"cancel on the list", {}, true, {}},
        {"cancel on the card", {0}, true, {}},
    };
    AddressBookHelper helper;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<QPair<QString, QString>> picked;
        helper.showInController(host.vc, [&](const QString& name, const QString& phone) {
            picked.append({name, phone});
        });
        ui::PeoplePickerViewController* picker = helper.pickerView();
        ASSERT_NE(picker, nullptr);
        ASSERT_TRUE(web::waitUntil([&] { return host.vc->presentedViewController() == picker; }));
        ASSERT_EQ(picker->people().size(), 3);
        for (int row : c.rows)
            web::tapRow(host.window.get(), picker->tableView(), row);
        if (c.cancel) web::tap(host.window.get(), picker->cancelButton());
        EXPECT_EQ(picked, c.expected);
        // Every case ends with the picker gone.
        EXPECT_TRUE(web::waitUntil([&] { return !host.vc->presentedViewController(); }));
    }
}

TEST(ContactsAuthorization, askedOnceAndRemembered) {
    for (const int button : {0, 1}) {
        SCOPED_TRACE(button);
        ui::ContactsAuthorization::reset();
        QObject context;
        QList<bool> answers;
        ui::ContactsAuthorization::requestAccess(&context, [&](bool ok) { answers.append(ok); });
        ASSERT_EQ(ui::AlertCenter::visibleAlerts().size(), 1);
        ui::AlertCenter::visibleAlerts().first()->pressButtonAtIndex(button);
        ASSERT_TRUE(web::waitUntil([&] { return answers.size() == 1; }));
        EXPECT_EQ(answers.first(), button == 1);
        // The second request answers from the user defaults, without asking.
        ui::ContactsAuthorization::requestAccess(&context, [&](bool ok) { answers.append(ok); });
        EXPECT_TRUE(ui::AlertCenter::visibleAlerts().isEmpty());
        ASSERT_TRUE(web::waitUntil([&] { return answers.size() == 2; }));
        EXPECT_EQ(answers.last(), button == 1);
        ns::UserDefaults::resetStandardUserDefaults();
        EXPECT_EQ(ui::ContactsAuthorization::status(),
                  button == 1 ? ui::ContactsAuthorization::Status::Authorized
                              : ui::ContactsAuthorization::Status::Denied);
    }
    ui::ContactsAuthorization::reset();
}

} // namespace
