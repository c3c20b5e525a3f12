// The rich-text frames of a balloon tip's content, each kept exactly as the
// balloons have always been drawn: a title (with or without an icon) above
// the text, or an icon beside it. "%0" is where the icon's PNG goes.
#pragma once

namespace AUILib {
namespace BalloonMarkup {

// clang-format off
inline constexpr char kTitleIconHead[] =
    "<table> <style>                                                         p.small {                                                             margin: 0px 5px 0px 10px;                                                             line-height: 20px;                                                             color: #3E75C7;                                                             font-size: 18px;                                                         }                                                         p.small2 {                                                             margin: 0px 5px 0px 10px;                                                             line-height: 20px;                                                             color: #4A5458;                                                             font-size: 12px;                                                             font-weight:normal;                                                         }                                                         </style>                                                          <tr><td align=\"middle\" valign=\"middle\"><img height='16' src='data:image/png;base64, %0'></td><td> <p class=\"small\"><b>";
inline constexpr char kTitleHead[] =
    "<table ><style>                                                      p.small {                                                          margin: 0px 5px 0px 10px;                                                          line-height: 20px;                                                          color: #3E75C7;                                                          font-size: 18px;                                                          font-weight:bold;                                                      }                                                      p.small2 {                                                          margin: 0px 5px 0px 10px;                                                          line-height: 20px;                                                          color: #4A5458;                                                          font-size: 12px;                                                          font-weight:normal;                                                      }                                                      </style><tr><td><p class=\"small\"><b>";
inline constexpr char kIconHead[] =
    "<style> td { text-align: left; vertical-align: top; }                                                             p.small2 {                                                                 margin: 5px;                                                                 color: #4A5458;                                                                 font-size: 12px;                                                                 font-weight:normal;                                                             }                                                             </style><table>                                                             <tr><td><img height='16' src='data:image/png;base64, %0'></td><td> <p class=\"small2\"><b>";
inline constexpr char kTitleIconMiddle[] =
    "</b> </p></td></tr><tr><td></td><td>  <p class=\"small2\">                                                         <b>";
inline constexpr char kTitleIconTail[] =
    "</b>                                                         </p></td></tr></table>";
inline constexpr char kTitleMiddle[] =
    "</b></p></td></tr><tr><td><p class=\"small2\"><b>";
inline constexpr char kTitleTail[] =
    "</b></p></td></tr></table>";
inline constexpr char kIconTail[] =
    "</b> </p></td></tr></table>";
// clang-format on

} // namespace BalloonMarkup
} // namespace AUILib
