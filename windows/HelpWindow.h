#pragma once
// The operator's help, Help.txt of the data folder, in a read-only text window of the program
// itself, so that it opens without a desktop text editor. Escape closes it.

#include <QWidget>

class QPlainTextEdit;

namespace torvane {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    /// Reads dataFolder/Help.txt (Windows-1252, as the program's other text files); a missing
    /// file is said in the window. The text is shown in `font` (the menu font).
    HelpWindow(const QString &dataFolder, const QFont &font, QWidget *parent = nullptr);

    QPlainTextEdit *txtHelp = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

}  // namespace torvane
