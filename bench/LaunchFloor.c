/* The launch floor: a process that does nothing, so every launch of the
   helper can be read as a multiple of what starting any program costs. */
int main(void) { return 0; }
