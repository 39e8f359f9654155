// The DMO headers, with the media-type helpers of dmort.h given the C linkage MinGW's header leaves out.
#pragma once

#include <windows.h>

#include <mediaerr.h>
#include <mediaobj.h>

extern "C" {
#include <dmort.h>
}
#include <dmo.h>
