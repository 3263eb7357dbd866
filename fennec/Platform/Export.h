#pragma once

// libfennec.so is built with hidden visibility; only what carries FENNEC_API is exported.
#define FENNEC_API __attribute__((visibility("default")))
