#include "platform/ui/Button.h"
#include "widgets/RadioButton.h"
#include "widgets/RadioButtonDelegate.h"

#include <QObject>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Observer : public QObject, public RadioButtonDelegate {
public:
    void radioButtonSelectedAtIndex(unsigned int index, const QString& group) override {
        calls.append({index, group});
        // The observer hears of the choice before the others are cleared.
        checkedWhenTold = checkedCount ? checkedCount() : -1;
    }
    QList<std::pair<unsigned int, QString>> calls;
    std::function<int()> checkedCount;
    int checkedWhenTold = -1;
};

struct Group {
    explicit Group(const QString& id, int n = 3) {
        for (int i = 0; i < n; ++i)
            buttons.push_back(std::make_unique<RadioButton>(id, i));
    }
    int checkedCount() const {
        int n = 0;
        for (const auto& b : buttons)
            n += b->isChecked();
        return n;
    }
    std::vector<std::unique_ptr<RadioButton>> buttons;
};

TEST(RadioButton, ATapChecksOneAndTellsTheObserverFirst) {
    Group g("taps");
    Observer observer;
    observer.checkedCount = [&g] { return g.checkedCount(); };
    RadioButton::addObserverForGroupId("taps", &observer);

    g.buttons[0]->button()->sendActionsForControlEvents(ui::Control::TouchUpInside);
    g.buttons[2]->button()->sendActionsForControlEvents(ui::Control::TouchUpInside);
    EXPECT_EQ(observer.checkedWhenTold, 2); // before the old choice was cleared
    EXPECT_FALSE(g.buttons[0]->isChecked());
    EXPECT_TRUE(g.buttons[2]->isChecked());
    EXPECT_EQ(g.checkedCount(), 1);

    // Tapping the checked one again reports it again and keeps it.
    g.buttons[2]->handleButtonTap();
    ASSERT_EQ(observer.calls.size(), 3);
    EXPECT_EQ(observer.calls[0], std::make_pair(0u, QStringLiteral("taps")));
    EXPECT_EQ(observer.calls[2], std::make_pair(2u, QStringLiteral("taps")));
    EXPECT_TRUE(g.buttons[2]->isChecked());
}

TEST(RadioButton, SetCheckedDoesNotEnforceASingleChoiceButATapDoes) {
    Group g("manual"), other("other");
    g.buttons[0]->setChecked(true);
    g.buttons[1]->setChecked(true);
    EXPECT_EQ(g.checkedCount(), 2);
    other.buttons[1]->handleButtonTap();
    g.buttons[2]->handleButtonTap(); // no observer: still a single choice
    EXPECT_EQ(g.checkedCount(), 1);
    EXPECT_TRUE(g.buttons[2]->isChecked());
    EXPECT_TRUE(other.buttons[1]->isChecked()); // groups are independent
}

TEST(RadioButton, ALaterObserverReplacesTheFirstAndEmptyRegistrationsAreIgnored) {
    Group g("replace");
    Observer first, second;
    RadioButton::addObserverForGroupId("replace", &first);
    RadioButton::addObserverForGroupId("replace", &second);
    RadioButton::addObserverForGroupId("replace", nullptr);
    RadioButton::addObserverForGroupId("", &first);
    g.buttons[1]->handleButtonTap();
    EXPECT_TRUE(first.calls.isEmpty());
    EXPECT_EQ(second.calls.size(), 1);
}

TEST(RadioButton, DestroyedButtonsAndObserversLeaveTheRegistry) {
    auto observer = std::make_unique<Observer>();
    {
        Group old("reused", 2);
        RadioButton::addObserverForGroupId("reused", observer.get());
        old.buttons[0]->handleButtonTap();
    }
    EXPECT_TRUE(RadioButton::instancesOfGroup("reused").isEmpty());
    observer.reset();
    // The dialog opened again: only the new buttons take part, and nobody stale is told.
    Group fresh("reused", 2);
    fresh.buttons[1]->handleButtonTap();
    EXPECT_EQ(RadioButton::instancesOfGroup("reused").size(), 2);
    EXPECT_TRUE(fresh.buttons[1]->isChecked());
}

TEST(RadioButton, AnObserverMayDestroyTheGroupWhileTold) {
    auto g = std::make_unique<Group>("closing");
    struct Closer : QObject, RadioButtonDelegate {
        std::unique_ptr<Group>* group;
        void radioButtonSelectedAtIndex(unsigned int, const QString&) override { group->reset(); }
    } closer;
    closer.group = &g;
    RadioButton::addObserverForGroupId("closing", &closer);
    RadioButton* tapped = g->buttons[0].get();
    RadioButton::buttonSelected(tapped);
    EXPECT_FALSE(g);
    EXPECT_TRUE(RadioButton::instancesOfGroup("closing").isEmpty());
}

} // namespace
