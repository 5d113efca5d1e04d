// One complete HTTP exchange over WinINet: open, connect, send one request with the default
// header lines, read the whole body into memory, close. Nothing survives between calls.
//
// Arguments, in order (an omitted argument is its zero value unless said otherwise):
//   url              the URL; host, port and object name are taken from it.
//   method           1 sends a POST; 0 a GET; any other value the verb "GET" with a body.
//   postText         the body as text, used only when `postBytes` is empty.
//   cookies          in/out, optional: null means omitted (WinINet handles cookies itself).
//                    A pointer, even to an empty text, switches WinINet's cookies off, sends
//                    the text as the Cookie line when not empty, and afterwards receives the
//                    text merged with the cookies the server set.
//   returnedCookies  out: the server's Set-Cookie pairs joined with "; " (null: not wanted).
//   headers          in/out: extra request lines joined by "\r\n"; once the request is open it
//                    receives the complete header block that is sent (null: none, not wanted).
//   returnedHeaders  out: the raw response header block, "Set-Cookie" spelled exactly so;
//                    5000 spaces when the query failed (null: not wanted).
//   noRedirect       true: redirections are not followed.
//   postBytes        in/out: the body as bytes; when a body is sent and this is empty it is
//                    first filled with the bytes of `postText` (null: empty, change not wanted).
//   proxy            optional: null means direct access; a pointer, even to an empty text,
//                    selects proxy access through that server.
//
// Returns the response body exactly as received, whatever the status. It is empty when the
// request could not be opened or sent, when the server sent no body, and when the body grew
// beyond what the process can hold. No other error is reported.
#pragma once

#include <cstdint>

#include "text/Text.h"

namespace vd {

Bytes HttpRequest(const Text& url, int32_t method = 0, const Text& postText = {},
                  Text* cookies = nullptr, Text* returnedCookies = nullptr, Text* headers = nullptr,
                  Text* returnedHeaders = nullptr, bool noRedirect = false,
                  Bytes* postBytes = nullptr, const Text* proxy = nullptr);

}  // namespace vd
