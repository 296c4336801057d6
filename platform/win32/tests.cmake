# Windows-only tests (filled below)
