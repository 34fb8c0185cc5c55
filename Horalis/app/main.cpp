#include "Horalis/app/HoralisApp.h"

int main(int argc, char** argv)
{
    HoralisApp app(argc, argv);
    // Starting Horalis while it runs is not an error: the running one stays.
    if (!app.isPrimaryInstance())
        return 0;
    return app.exec();
}
