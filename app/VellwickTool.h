#pragma once

#include "framework/Application.h"

// The application: brings up the component layer, the profile, the working
// folder and the first document, and clears the scratch folder at exit.
class CVellwickToolApp : public framework::CWinApp {
public:
    // The folder beside the executable unless another is given (tests do).
    explicit CVellwickToolApp(QString appFolder = {});

    bool InitInstance() override;
    int ExitInstance() override;

    // Help > About: the About box, modally.
    void OnAppAbout();

    // The executable's folder, without a trailing separator.
    QString m_strAppFolder;
};
