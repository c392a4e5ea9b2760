#pragma once

#include <QString>

// The observer of a radio button group: told which index was chosen.
class RadioButtonDelegate {
public:
    virtual ~RadioButtonDelegate() = default;
    virtual void radioButtonSelectedAtIndex(unsigned int index, const QString& inGroup) = 0;
};
