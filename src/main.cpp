#include "core/GameHost.h"
#include "match/RugbyScene.h"

int main()
{
    GameHost& host = GameHost::Instance();
    host.OpenWindow(1280, 720, "TryZone", 60);
    host.LaunchScene<RugbyScene>();
    host.Run();
    return 0;
}
