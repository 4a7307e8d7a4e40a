#pragma once
// What makes a settings file unfit to go into an image: a size that is not the image
// layout's (a file of the other layout is named as such), or an axis whose breakpoints do
// not rise. No unit runs on such tables: an all-zero file puts every RPM breakpoint at one
// place and the rev limit at 0.

#include <QString>

#include "image/EfiOperator.h"
#include "image/ModelConfig.h"

// The first axis of `op`'s tables (in engineering units) whose breakpoints do not rise
// strictly, in words naming the table; empty when every axis rises. The split maps' load
// axes rise within each part.
QString AxisOrderProblem(const TEFIOperator& op);

// The first reason the settings file at `path` does not fit an image of `config`: its size
// (naming the other layout when the size is that layout's) or AxisOrderProblem of its
// tables; empty when it fits. Throws EInOutError when the file cannot be read, EZeroDivide
// for a rev limiter code of 0 in variant 1.
QString SettingsFileProblem(const TModelConfig& config, const QString& path);
