#include "reports/framework/frmBrowser.h"

#include "data/Feedback.h"
#include "data/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

frmBrowser::frmBrowser(QWidget* parent)
    : QDialog(parent), m_model(new QFileSystemModel(this)), m_paths(new QTreeView), m_pathName(new QLineEdit),
      m_ok(new QPushButton(QStringLiteral("&Ok"))), m_cancel(new QPushButton(QStringLiteral("&Cancel"))) {
    setObjectName(QStringLiteral("frmBrowser"));
    setWindowTitle(QStringLiteral("Select Report Folder"));
    setModal(true);
    m_paths->setObjectName(QStringLiteral("Paths"));
    m_pathName->setObjectName(QStringLiteral("PathName"));

    // The machine's folders stand in for the drive and folder lists: one tree from the root.
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QDir::rootPath());
    m_paths->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_paths->hideColumn(column);
    m_paths->header()->hide();
    m_paths->setMinimumSize(320, 260);

    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(m_paths);
    pageLayout->addWidget(m_pathName);
    auto* tabs = new QTabWidget;
    tabs->addTab(page, QStringLiteral("Report Folder"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    m_ok->setDefault(true);

    connect(m_paths->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid())
            m_pathName->setText(QDir::toNativeSeparators(m_model->filePath(current)));
    });
    connect(m_ok, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        setFolder(m_original);
        reject();
    });
}

QString frmBrowser::folder() const {
    return m_mode == 1 ? reportsDir() : backupsDir();
}

void frmBrowser::setFolder(const QString& path) {
    if (m_mode == 1)
        setReportsDir(path);
    else
        setBackupsDir(path);
}

void frmBrowser::showWith(int mode) {
    m_mode = mode;
    m_original = folder();
    m_pathName->setText(m_original);
    if (m_original.size() > 2) {
        const QModelIndex index = m_model->index(m_original);
        if (index.isValid()) {
            m_paths->setCurrentIndex(index);
            m_paths->scrollTo(index);
        }
    }
    exec();
}

void frmBrowser::okClicked() {
    // The blanks are taken off before the folder is looked for, so the folder made is the one stored.
    const QString path = m_pathName->text().trimmed();
    if (path.isEmpty()) {
        setFolder(m_original);
        accept();
        return;
    }
    if (!QFileInfo(path).isDir() && !QDir().mkdir(path)) {
        showValidation(QStringLiteral("Cannot create folder ") + path + QLatin1Char('.'));
        return;
    }
    setFolder(path);
    accept();
}

void frmBrowser::done(int result) {
    // Callers append "/" and a file name; the root keeps its one separator.
    QString path = folder();
    if (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))) {
        path.chop(1);
        setFolder(path);
    }
    QDialog::done(result);
}
