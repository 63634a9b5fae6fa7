// The answer to the remote protocol's `screen` query: one line of JSON describing what is on
// the screen, for remote software (and our black-box tests) to read.
#pragma once

#include <string>

namespace dialogs {
struct DialogContext;
}

namespace remote {

// {"view":4,"title":"Main Menu","crumbs":"","above":"","below":"...","rows":[{"caption":...,
// "tag":...,"icon":-1},...],"row":1,"highlight":true,"state":"...","switches":"...","track":"",
// "playlist":{"count":0,"current":-1},"dialog":null,"saver":null,"help":false,"frames":0}
// `rows` are rows 1..PageSize as shown; an open question gives "dialog":{"form":"frmConfirm",
// "lines":[...],"buttons":["Yes","No"],"selected":2}. `frames` counts the pictures put on the
// screen so far (for benchmarks). No line break inside.
std::string ScreenJson(const dialogs::DialogContext& jubo);

}  // namespace remote
