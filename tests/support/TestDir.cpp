// test helpers: to come
