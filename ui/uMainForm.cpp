// main window: to come
