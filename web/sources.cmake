# The page's C++ and the JavaScript merged into Emscripten's runtime, by
# layer, relative to web/: the page's build (web/CMakeLists.txt) and the
# static checks of its C++ (walker_web_check, CMakeLists.txt) read them here.
# - glut/: what the browser's GL and GLUT lack, under the program's own
#   src/: the fixed function, the shapes, the frame inspector's recorder;
#   in JavaScript the redisplay, the idle loop, the key bridge, the window's
#   size and the word to the page;
# - exports/: what the program exports to the page's scripts.
# The page itself, with its scripts and the app's files, is in page/.
set(WEB_GLUT_SOURCES glut/fixed_function.cpp glut/glut_shapes.cpp glut/frame_recorder.cpp glut/shape_on_canvas.cpp)
set(WEB_EXPORT_SOURCES exports/scene_readout.cpp exports/resize.cpp exports/frame_inspector.cpp)
set(WEB_JS_LIBRARIES glut/tell_page.js glut/redisplay.js glut/idle_loop.js glut/key_bridge.js glut/window_size.js)
# Run only while the page's frame inspector is open, off the walker's own
# frames: built for size, as they cost every visit bytes.
set(WEB_INSPECTOR_SOURCES glut/frame_recorder.cpp glut/shape_on_canvas.cpp exports/frame_inspector.cpp)
