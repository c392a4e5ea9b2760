#pragma once

#include <QString>

namespace ui {

class ViewController;

// A segue being performed, as prepareForSegue sees it.
class StoryboardSegue {
public:
    enum class Kind { Push, Modal, Embed };

    StoryboardSegue(QString identifier, Kind kind, ViewController* source,
                    ViewController* destination)
        : m_identifier(std::move(identifier)), m_kind(kind), m_source(source),
          m_destination(destination) {}

    QString identifier() const { return m_identifier; }
    Kind kind() const { return m_kind; }
    ViewController* sourceViewController() const { return m_source; }
    ViewController* destinationViewController() const { return m_destination; }

private:
    QString m_identifier;
    Kind m_kind;
    ViewController* m_source;
    ViewController* m_destination;
};

} // namespace ui
