#include "Horalis/app/HoralisApp.h"
#include "platform/desktop/DesktopSession.h"
#include "platform/time/SystemTimeZone.h"

int main(int argc, char** argv)
{
    // Before any thread or file check asks the C library for local time.
    SystemTimeZone::pinCLibraryZone();
    // Before Qt picks a platform: where the panel can open next to the tray item.
    DesktopSession::choosePlatform();
    HoralisApp app(argc, argv);
    // Starting Horalis while it runs is not an error: the running one stays.
    if (!app.isPrimaryInstance())
        return 0;
    return app.exec();
}
