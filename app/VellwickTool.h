#pragma once

#include "framework/Application.h"

// The application: brings up the component layer, the profile, the working
// folder and the first document, and clears the scratch folder at exit.
class CVellwickToolApp : public framework::CWinApp {
public:
    CVellwickToolApp();

    bool InitInstance() override;
    int ExitInstance() override;

    // The executable's folder, without a trailing separator.
    QString m_strAppFolder;
};
