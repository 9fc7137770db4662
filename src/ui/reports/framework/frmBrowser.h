#pragma once

#include <QDialog>

class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

// Picks the report folder (mode 1) or the backup folder (any other mode): a folder tree and a path
// box the user may also type in. OK creates a missing folder (one level) and stores the path for the
// rest of the run; Cancel puts the folder back as it was.
class frmBrowser : public QDialog {
    Q_OBJECT

public:
    explicit frmBrowser(QWidget* parent = nullptr);

    // Shows the window modally for the folder of the mode; returns when it has closed.
    void showWith(int mode);

    QLineEdit* PathName() const { return m_pathName; }
    QTreeView* Paths() const { return m_paths; }
    QPushButton* BUT_Ok() const { return m_ok; }
    QPushButton* BUT_Cancel() const { return m_cancel; }

    // Closing by any way ends here: one trailing separator is taken off the folder.
    void done(int result) override;

private:
    QString folder() const;
    void setFolder(const QString& path);
    void okClicked();

    int m_mode = 1;
    QString m_original;
    QFileSystemModel* m_model;
    QTreeView* m_paths;
    QLineEdit* m_pathName;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
