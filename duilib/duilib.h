// The skinned UI library in one include. See window_impl_base.h for windows,
// paint_manager.h for the message loop, notify.h for message maps.
#pragma once

#include "duilib/attr_parse.h"
#include "duilib/button.h"
#include "duilib/container.h"
#include "duilib/control.h"
#include "duilib/dialog_builder.h"
#include "duilib/edit.h"
#include "duilib/label.h"
#include "duilib/notify.h"
#include "duilib/option.h"
#include "duilib/paint_manager.h"
#include "duilib/progress.h"
#include "duilib/render.h"
#include "duilib/richedit.h"
#include "duilib/scrollbar.h"
#include "duilib/tab_layout.h"
#include "duilib/ui_defs.h"
#include "duilib/window_impl_base.h"
#include "duilib/window_wnd.h"
#include "duilib/xml_reader.h"
