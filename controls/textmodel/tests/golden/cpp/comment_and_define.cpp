/* multi
 * line */
#pragma once
wchar_t w = L'x';
