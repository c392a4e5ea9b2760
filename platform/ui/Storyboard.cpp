#include "platform/ui/Storyboard.h"

#include "platform/ui/ViewController.h"

#include <QHash>
#include <QList>
#include <QMetaObject>
#include <algorithm>

namespace ui {

namespace {

// Function-local so registrations from static objects in other files find it constructed.
struct Registry {
    QHash<QString, QHash<QString, Storyboard::Factory>> scenes;
    QHash<QString, QString> initial;
    QHash<QString, QList<Storyboard::Segue>> segues;
};

Registry& registry() {
    static Registry r;
    return r;
}

// Where a screen's segues may be registered: its scene identifier, then its class and bases.
QStringList segueKeys(const ViewController* vc) {
    QStringList keys;
    if (!vc) return keys;
    if (!vc->storyboardIdentifier().isEmpty()) keys << vc->storyboardIdentifier();
    for (const QMetaObject* m = vc->metaObject(); m && m != &QObject::staticMetaObject;
         m = m->superClass())
        keys << QString::fromLatin1(m->className());
    return keys;
}

} // namespace

void Storyboard::registerScene(const QString& storyboard, const QString& identifier,
                               Factory factory) {
    if (storyboard.isEmpty() || identifier.isEmpty() || !factory) return;
    registry().scenes[storyboard][identifier] = std::move(factory);
}

QList<std::pair<QString, QString>> Storyboard::scenes() {
    QList<std::pair<QString, QString>> out;
    for (auto board = registry().scenes.cbegin(); board != registry().scenes.cend(); ++board)
        for (auto scene = board->cbegin(); scene != board->cend(); ++scene)
            out.append({board.key(), scene.key()});
    std::sort(out.begin(), out.end());
    return out;
}

void Storyboard::setInitialScene(const QString& storyboard, const QString& identifier) {
    registry().initial[storyboard] = identifier;
}

void Storyboard::unregisterScene(const QString& storyboard, const QString& identifier) {
    auto it = registry().scenes.find(storyboard);
    if (it == registry().scenes.end()) return;
    it->remove(identifier);
    if (it->isEmpty()) registry().scenes.erase(it);
}

void Storyboard::registerSegue(const QString& source, const Segue& segue) {
    if (source.isEmpty() || segue.identifier.isEmpty()) return;
    QList<Segue>& list = registry().segues[source];
    for (Segue& s : list) {
        if (s.identifier == segue.identifier) {
            s = segue;
            return;
        }
    }
    list.append(segue);
}

ViewController* Storyboard::instantiateViewController(const QString& storyboard,
                                                      const QString& identifier) {
    const auto sb = registry().scenes.constFind(storyboard);
    if (sb == registry().scenes.constEnd()) return nullptr;
    const auto scene = sb->constFind(identifier);
    if (scene == sb->constEnd()) return nullptr;
    ViewController* vc = (*scene)();
    if (vc) vc->setStoryboardIdentity(storyboard, identifier);
    return vc;
}

ViewController* Storyboard::instantiateInitialViewController(const QString& storyboard) {
    const auto it = registry().initial.constFind(storyboard);
    if (it == registry().initial.constEnd()) return nullptr;
    return instantiateViewController(storyboard, *it);
}

bool Storyboard::hasScene(const QString& storyboard, const QString& identifier) {
    const auto sb = registry().scenes.constFind(storyboard);
    return sb != registry().scenes.constEnd() && sb->contains(identifier);
}

bool Storyboard::hasStoryboard(const QString& storyboard) {
    return registry().scenes.contains(storyboard);
}

std::optional<Storyboard::Segue> Storyboard::segueFor(const ViewController* vc,
                                                      const QString& identifier) {
    for (const QString& key : segueKeys(vc)) {
        const auto it = registry().segues.constFind(key);
        if (it == registry().segues.constEnd()) continue;
        for (const Segue& s : *it)
            if (s.identifier == identifier) return s;
    }
    return std::nullopt;
}

QList<Storyboard::Segue> Storyboard::embedSeguesFor(const ViewController* vc) {
    QList<Segue> out;
    QStringList seen;
    for (const QString& key : segueKeys(vc)) {
        const auto it = registry().segues.constFind(key);
        if (it == registry().segues.constEnd()) continue;
        for (const Segue& s : *it) {
            if (s.kind != StoryboardSegue::Kind::Embed || seen.contains(s.identifier)) continue;
            seen << s.identifier;
            out << s;
        }
    }
    return out;
}

SceneRegistration::SceneRegistration(const char* storyboard, const char* identifier,
                                     Storyboard::Factory factory, bool initial) {
    const QString sb = QString::fromUtf8(storyboard);
    const QString id = QString::fromUtf8(identifier);
    Storyboard::registerScene(sb, id, std::move(factory));
    if (initial) Storyboard::setInitialScene(sb, id);
}

SegueRegistration::SegueRegistration(const char* source, const char* identifier,
                                     StoryboardSegue::Kind kind, const char* destinationStoryboard,
                                     const char* destinationIdentifier, int containerTag) {
    Storyboard::Segue s;
    s.identifier = QString::fromUtf8(identifier);
    s.kind = kind;
    s.destinationStoryboard = QString::fromUtf8(destinationStoryboard);
    s.destinationIdentifier = QString::fromUtf8(destinationIdentifier);
    s.containerTag = containerTag;
    Storyboard::registerSegue(QString::fromUtf8(source), s);
}

} // namespace ui
