#pragma once
#include "ui/widgets/SceneMenuFrame.h"

class ResizableButton;

// A pause page over a running game: it covers the screen, and the back key
// resumes the game like its resume button.
class PauseOverlayFrame : public FilledMenuFrame {
public:
    PauseOverlayFrame();

    bool onEscape() override;

    void onResume();
    void openAudio();

    ResizableButton* resumeButton = nullptr;
    ResizableButton* audioButton = nullptr;
};
