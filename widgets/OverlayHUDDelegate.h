#pragma once

class OverlayHUD;

// Told when an overlay has hidden. The overlay holds its delegate weakly.
class OverlayHUDDelegate {
public:
    virtual ~OverlayHUDDelegate() = default;
    virtual void hudWasHidden(OverlayHUD* hud) { (void)hud; }
};
