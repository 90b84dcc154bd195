#pragma once

#include <memory>

#include <QWidget>

#include "dictionary/lookup.h"
#include "dictionary/pronunciation.h"

class QComboBox;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class ImageButton;

// The main window: input box, word list, phonetic line, entry pane, toolbar and main menu.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(std::unique_ptr<dictionary::SoundOutput> sound = dictionary::makeDesktopSoundOutput());
    ~TForm1() override;

    // The windows the toolbar shows: stories (Image1), read-aloud (Image2), practice (Image3).
    void setWindows(QWidget* stories, QWidget* readAloud, QWidget* practice);

    QComboBox* ComboBox1;
    QListWidget* ListBox1;
    QPlainTextEdit* Memo2;
    QPlainTextEdit* Memo1;
    ImageButton* Image1;
    ImageButton* Image2;
    ImageButton* Image3;
    ImageButton* Image4;
    ImageButton* Image5;
    QMenu* PopupMenu2;

public slots:
    void FormCreate();
    void ComboBox1Change();
    void ListBox1Click();
    void Image1Click();
    void Image2Click();
    void Image3Click();
    void Image4Click();
    void Image5Click();
    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void N11Click();
    void N7Click();
    void N8Click();
    void N10Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showPage(const char* page);
    void popUpMenu(QPoint at);
    void popUpMenuAtPicture();
    dictionary::Controls controls() const;

    QWidget* stories_ = nullptr;
    QWidget* readAloud_ = nullptr;
    QWidget* practice_ = nullptr;
    std::unique_ptr<dictionary::SoundOutput> sound_;
};

// Shows a secondary window non-modally and brings it to the front.
void showWindow(QWidget* window);
