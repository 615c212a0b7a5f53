// Everything of the window layer in one include.
#pragma once
#include "ui/backend.h"
#include "ui/dialog.h"
#include "ui/eventcodes.h"
#include "ui/events.h"
#include "ui/keys.h"
#include "ui/listbox.h"
#include "ui/menu.h"
#include "ui/msgbox.h"
#include "ui/parts.h"
#include "ui/presspace.h"
#include "ui/sle.h"
#include "ui/window.h"
