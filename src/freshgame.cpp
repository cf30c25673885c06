#include "freshgame.h"

#include "main.h"

#include <algorithm>
#include <array>

namespace {

// The calling thread's camera arrays: thread_local, so asked for on the
// thread that needs them.
std::array<float*, 8> cameraArrays()
{
    return {::camera, speed, camaccel, camjerk, sight, sightspeed, sightaccel, sightjerk};
}

}  // namespace

FreshGame::FreshGame()
    : player(::player), level(::level), borderCell(::borderCell), levelnum(::levelnum),
      levelDone(::levelDone), totweight(::totweight)
{
    static_assert(cameraArrayCount == std::tuple_size<decltype(cameraArrays())>::value);
    const auto arrays = cameraArrays();
    for (int i = 0; i < cameraArrayCount; i++)
        std::copy(arrays[i], arrays[i] + 3, camera[i]);

    ::player = Player();
    ::level = nullptr;
    // Outside the grid, in no row or column a level has.
    ::borderCell.init(-2, -2, 0, false);
    ::levelnum = 1;
    ::levelDone = false;
    resetCamera();
    if (platformReset)
        platformReset();
}

FreshGame::~FreshGame()
{
    delete ::level;
    ::player = player;
    ::level = level;
    ::borderCell = borderCell;
    ::levelnum = levelnum;
    ::levelDone = levelDone;
    const auto arrays = cameraArrays();
    for (int i = 0; i < cameraArrayCount; i++)
        std::copy(camera[i], camera[i] + 3, arrays[i]);
    ::totweight = totweight;
}
