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
// "playlist":{"count":0,"current":-1},"dialog":null,"saver":null,"help":false,"pairing":null,"frames":0}
// `rows` are rows 1..PageSize as shown. An open dialog (the one on top) gives its form, its
// lines, its buttons and the marked one (1-based): "dialog":{"form":"frmConfirm","lines":
// ["Exit Jubo Player?",""],"buttons":["Yes","No"],"selected":2}; frmCount adds its number,
// "value":321; frmInfo has the one button "OK"; the start-up message is "form":"MessageBox".
// While the phone remote's pairing panel shows, "pairing":{"code":"123456","address":
// "http://192.168.1.20:8765/"}. Before the library has loaded, the Main Menu's rows are empty.
// `frames` counts the pictures put on the screen so far (for benchmarks). No line break inside.
std::string ScreenJson(const dialogs::DialogContext& jubo);

}  // namespace remote
