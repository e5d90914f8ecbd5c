// The single-instance test behind ZQDownloaderModel::popupExistPwnd.
#pragma once

#include "utility/handle.h"

// Creates the mutex named kInstanceGuid. When this process is the first
// instance, moves the mutex handle into `mutexOut` (keep it until shutdown),
// logs "CCmdLine::popupExistPwnd not exist" and returns false. Otherwise
// (mutex already existed, or could not be created) posts MSG_SHOW_MAINFRAME
// to the running instance's IPC window if one is found, logs
// "ZQDownloaderModel::popupExistPwnd exist" and returns true: the caller
// must end. Both lines are logged under "ZQDownloaderModel::popupExistPwnd".
bool popupExistingInstance(utility::UniqueHandle& mutexOut);
