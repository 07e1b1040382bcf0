#include "app/ViewSettings.h"

#include "app/VRX530View.h"

#include <QStandardPaths>

std::string UserDocumentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
}

int CVRX530View::LoadFileFolder(int kind)
{
    return m_settings.LoadFileFolder(kind);
}

int CVRX530View::SaveFileFolder(int kind)
{
    return m_settings.SaveFileFolder(kind);
}

int CVRX530View::LoadDspMcuSettings()
{
    return m_settings.LoadDspMcuSettings();
}

int CVRX530View::SaveDspMcuSettings()
{
    return m_settings.SaveDspMcuSettings();
}

int CVRX530View::LoadLineSetting()
{
    return m_settings.LoadLineSetting();
}

int CVRX530View::SaveLineSetting()
{
    m_settings.SaveLineSetting();
    // The response graph draws by the line setting: repaint the view with the page in it.
    update();
    return 1;
}

bool CVRX530View::IsNotDirectory(const std::string &path)
{
    return CProgramSettings::IsNotDirectory(path);
}
