#pragma once

#include <functional>
#include <memory>

#include <QWidget>

#include "speech/voice_text.h"

class QPlainTextEdit;
class QToolButton;

namespace speech {

// How the window gets its voice-text component; the default is the desktop's engine, loaded when
// it first speaks.
using VoiceFactory = std::function<VoiceCreation()>;

// The read-aloud window: speaks the pane's text once or 54 times, pauses, resumes, stops.
// Closing it only hides it; the voice and the text stay for the next showing.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(const VoiceFactory& factory = &createDesktopVoiceOnFirstUse);
    ~TForm2() override;

    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton5;
    QToolButton* SpeedButton6;
    QPlainTextEdit* Memo1;

    // Empty when the component could not be created.
    VoiceText* voice() const { return VoiceText_.get(); }

    // Creates the component and registers with it; a failure is raised as VoiceError.
    void FormCreate(const VoiceFactory& factory);

public slots:
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::shared_ptr<VoiceText> VoiceText_;
};

// Shows an error as the application's error box: its name as caption, an error icon, an OK
// button, and a full stop added where the message ends on a letter or digit.
void showErrorBox(const QString& message);

} // namespace speech
