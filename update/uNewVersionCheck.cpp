// update check: to come
