#pragma once

// Told when the user lets go of a pull far enough to refresh.
class RefreshViewDelegate {
public:
    virtual ~RefreshViewDelegate() = default;
    virtual void refreshViewDidCallBack() = 0;
};
