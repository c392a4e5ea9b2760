#pragma once

class ModalDialogView;

// Receives the dialog's button presses (the index is the button's tag).
class ModalDialogViewDelegate {
public:
    virtual ~ModalDialogViewDelegate() = default;
    virtual void modalDialogButtonTouchUpInside(ModalDialogView* dialog,
                                                int clickedButtonAtIndex) = 0;
};
