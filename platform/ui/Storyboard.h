#pragma once

#include "platform/ui/StoryboardSegue.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

namespace ui {

class ViewController;

// The registry of scenes and segues. Each screen registers a factory under (storyboard name,
// scene identifier) from its own source file; segues register under their source scene.
class Storyboard {
public:
    using Factory = std::function<ViewController*()>;

    struct Segue {
        QString identifier;
        StoryboardSegue::Kind kind = StoryboardSegue::Kind::Push;
        QString destinationStoryboard;
        QString destinationIdentifier;
        // Embed segues: the tag of the view inside the source's view that holds the child
        // (0: the source's view itself).
        int containerTag = 0;
    };

    Storyboard() = delete;

    // A later registration of the same scene replaces the earlier one.
    static void registerScene(const QString& storyboard, const QString& identifier,
                              Factory factory);
    static void setInitialScene(const QString& storyboard, const QString& identifier);
    // source: the source scene's identifier or its class name. Embed segues are performed when
    // the source's view loads, before its viewDidLoad.
    static void registerSegue(const QString& source, const Segue& segue);
    static void unregisterScene(const QString& storyboard, const QString& identifier);

    // A new screen carrying its storyboard identity; nullptr for an unknown storyboard or scene
    // (or a factory that made nothing).
    static ViewController* instantiateViewController(const QString& storyboard,
                                                     const QString& identifier);
    static ViewController* instantiateInitialViewController(const QString& storyboard);
    static bool hasScene(const QString& storyboard, const QString& identifier);
    // Every registered scene as (storyboard, identifier), sorted.
    static QList<std::pair<QString, QString>> scenes();
    static bool hasStoryboard(const QString& storyboard);

    // The segue named identifier of vc: looked up under vc's scene identifier, then under its
    // class and each base class.
    static std::optional<Segue> segueFor(const ViewController* vc, const QString& identifier);
    static QList<Segue> embedSeguesFor(const ViewController* vc);
};

// Registers a scene from a static object in the screen's source file.
struct SceneRegistration {
    SceneRegistration(const char* storyboard, const char* identifier, Storyboard::Factory factory,
                      bool initial = false);
};

// Registers a segue from a static object in the source screen's file.
struct SegueRegistration {
    SegueRegistration(const char* source, const char* identifier, StoryboardSegue::Kind kind,
                      const char* destinationStoryboard, const char* destinationIdentifier,
                      int containerTag = 0);
};

} // namespace ui

#define TAVRIX_SCENE_CAT2(a, b) a##b
#define TAVRIX_SCENE_CAT(a, b) TAVRIX_SCENE_CAT2(a, b)

// TAVRIX_REGISTER_SCENE("Main", "LoginViewController", LoginViewController)
#define TAVRIX_REGISTER_SCENE(storyboard, identifier, Class)                                       \
    static const ::ui::SceneRegistration TAVRIX_SCENE_CAT(tavrix_scene_, __LINE__)(                \
        storyboard, identifier, [] { return static_cast<::ui::ViewController*>(new Class); })

// The storyboard's initial scene (instantiateInitialViewController).
#define TAVRIX_REGISTER_INITIAL_SCENE(storyboard, identifier, Class)                               \
    static const ::ui::SceneRegistration TAVRIX_SCENE_CAT(tavrix_scene_, __LINE__)(                \
        storyboard, identifier, [] { return static_cast<::ui::ViewController*>(new Class); },      \
        true)

// TAVRIX_REGISTER_SEGUE("LoginViewController", "LoginViewToSkatingRink", Push, "Main",
//                       "SkatingRinkViewController")
#define TAVRIX_REGISTER_SEGUE(source, identifier, kind, storyboard, destination)                   \
    static const ::ui::SegueRegistration TAVRIX_SCENE_CAT(tavrix_segue_, __LINE__)(                \
        source, identifier, ::ui::StoryboardSegue::Kind::kind, storyboard, destination)

// An embed segue: the destination becomes a child whose view fills the view tagged containerTag.
#define TAVRIX_REGISTER_EMBED_SEGUE(source, identifier, storyboard, destination, containerTag)     \
    static const ::ui::SegueRegistration TAVRIX_SCENE_CAT(tavrix_segue_, __LINE__)(                \
        source, identifier, ::ui::StoryboardSegue::Kind::Embed, storyboard, destination,           \
        containerTag)
