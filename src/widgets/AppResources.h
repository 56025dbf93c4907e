#pragma once
// The program's own resources (cursor bitmaps, pictures) live in a static
// library; they must be registered before the first use.

void ensureAppResources();
