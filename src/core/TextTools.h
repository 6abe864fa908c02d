#pragma once

// The tools that treat lines as text: spaces, block numbers, words, comments
// and inserted information.
#include "core/CommentTool.h"
#include "core/InsertTool.h"
#include "core/RenumberTool.h"
#include "core/SpacesTool.h"
#include "core/WordTools.h"
