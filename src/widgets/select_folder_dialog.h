// The folder chooser: the platform's folder dialog, run modally, one at a time.
#pragma once

#include <string>

#include <QObject>
#include <QString>

#include "platform/system_error.h"

class QWidget;

namespace versweep {

/// Asks for one folder with the platform's folder dialog, hidden folders shown.
class SelectFolderDialog final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SelectFolderDialog)

public:
    /// The dialog opens over `parent`.
    explicit SelectFolderDialog(QWidget* parent);

    void setTitle(const QString& title) { m_title = title; }

    /// Runs the dialog modally: true when the user confirmed a folder, false on cancel. While it runs, a
    /// second call is refused with "SelectFolderDialog already executing".
    platform::Result<bool> showFolderChooser();

    /// The confirmed folder as the file system names it, without a trailing slash except for the root;
    /// empty when the choice was not a local folder.
    const std::string& selectedFolder() const { return m_selectedFolder; }

private:
    QWidget* m_parent;
    QString m_title;
    std::string m_selectedFolder;
    bool m_running = false;
};

} // namespace versweep
